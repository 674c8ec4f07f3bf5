#pragma once
// Resource ids shared by the resource script and the code.

#define IDI_LAUNCHER 1

#define IDD_JRE_NOT_FOUND 201
#define IDD_JAVA_EXCEPTION 231
