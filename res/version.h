#pragma once
// The launcher's version, as its version information states it: four
// numbers for the fixed part, the same as text for the strings.
#define LAUNCHER_VERSION 1, 0, 0, 0
#define LAUNCHER_VERSION_TEXT "1.0.0.0"
