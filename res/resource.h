#pragma once
// Resource ids shared by the resource script and the code.

#define IDI_LAUNCHER 1

#define IDD_JRE_NOT_FOUND 201
#define IDD_JAVA_EXCEPTION 231

// Controls of the "Java Exception" dialog; its buttons are IDOK ("Ignore")
// and IDCANCEL ("Stop").
#define IDC_EXCEPTION_ICON 204
#define IDC_EXCEPTION_TEXT 208
#define IDC_EXCEPTION_GROUP 209
#define IDC_EXCEPTION_INTRO 210
#define IDC_EXCEPTION_ADVICE 211
#define IDC_EXCEPTION_WARNING 212

// Controls of the "JRE Not Found" dialog (OK and Cancel are IDOK and IDCANCEL).
#define IDC_JRE_PATH 201
#define IDC_BROWSE 202
#define IDC_MESSAGE 203
#define IDC_ERROR_ICON 204
#define IDC_DOWNLOAD_LINK 205
#define IDC_BROWSE_HINT 206
