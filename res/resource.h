#pragma once
// Resource ids shared by the resource script and the code.

#define IDI_LAUNCHER 1

#define IDD_JRE_NOT_FOUND 201
#define IDD_JAVA_EXCEPTION 231

// Controls of the "JRE Not Found" dialog (OK and Cancel are IDOK and IDCANCEL).
#define IDC_JRE_PATH 201
#define IDC_BROWSE 202
#define IDC_MESSAGE 203
#define IDC_ERROR_ICON 204
#define IDC_DOWNLOAD_LINK 205
#define IDC_BROWSE_HINT 206
