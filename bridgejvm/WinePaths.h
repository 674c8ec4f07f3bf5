#pragma once
// Text and paths where Windows meets Linux: Wine maps Windows paths to Unix
// ones (kernel32's wine_get_unix_file_name and wine_get_dos_file_name).
// Unix paths and everything sent to Java are UTF-8.

#include <windows.h>

#include <optional>
#include <string>

namespace bridgejvm {

std::wstring widen(const std::string& text, unsigned codePage);
std::string narrow(const std::wstring& text, unsigned codePage);

// The Unix path of a Windows path (relative ones against the current
// folder); nothing when Wine cannot map it, with the Windows error code.
std::optional<std::string> unixPath(const std::string& windowsPathUtf8, DWORD* error = nullptr);
// The Windows path under which Wine reaches a Unix path.
std::optional<std::wstring> dosPath(const std::string& unixPathUtf8);

// The system's text for an error code, without the final period and line end
// (as Java on Windows words it in exception messages).
std::string errorText(DWORD error);

}  // namespace bridgejvm
