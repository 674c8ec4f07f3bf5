// explain: tells what the launcher would do for an executable, and why,
// without starting Java and without writing anything.
//
//   explain [--json] <launcher.exe> [arguments the launcher would be given]
//
// The arguments after the executable are split by the launcher's own rules.
// The launch is evaluated in the current folder, as if the launcher were
// started from it. Exit code: 0 when the launch would start Java, 1 when it
// would stop before (or hand over to a running instance), 2 for a usage
// error.
#include <windows.h>

#include <string>
#include <vector>

#include "explain/JsonReport.h"
#include "explain/LaunchExplanation.h"
#include "explain/TextReport.h"
#include "base/CommandLine.h"

namespace {

const char kUsage[] =
    "Usage: explain [--json] <launcher.exe> [arguments]\r\n"
    "\r\n"
    "Tells what the launcher would do when started with these arguments from\r\n"
    "the current folder: the settings it reads and where each value comes\r\n"
    "from, how it finds the Java runtime, the environment, the splash screen,\r\n"
    "the VM options and the arguments of main. Nothing is started or written.\r\n"
    "\r\n"
    "  --json   one JSON document instead of text\r\n";

// Text in the ANSI code page: a console shows it through UTF-16, anything
// else gets the bytes.
void write(HANDLE output, const std::string& text) {
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
        DWORD written = 0;
        WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length && length < MAX_PATH ? std::string(buffer, length) : path;
}

}  // namespace

int main() {
    SetThreadLocale(GetSystemDefaultLCID());
    std::vector<std::string> words = argumentsFromCommandLine(GetCommandLineA());
    bool json = false;
    std::size_t next = 0;
    for (; next < words.size(); ++next) {
        if (words[next] == "--json") {
            json = true;
        } else if (words[next] == "--help" || words[next] == "-h" || words[next] == "/?") {
            write(GetStdHandle(STD_OUTPUT_HANDLE), kUsage);
            return 0;
        } else {
            break;
        }
    }
    if (next == words.size()) {
        write(GetStdHandle(STD_ERROR_HANDLE), kUsage);
        return 2;
    }
    std::string executable = fullPath(words[next]);
    std::vector<std::string> arguments(words.begin() + static_cast<std::ptrdiff_t>(next) + 1, words.end());

    Explanation explanation = explainLaunch(executable, arguments);
    write(GetStdHandle(STD_OUTPUT_HANDLE), json ? jsonReport(explanation) : textReport(explanation));
    return explanation.outcome == LaunchOutcome::StartsJava ? 0 : 1;
}
