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
#include "base/WideText.h"

namespace {

const wchar_t kUsage[] =
    L"Usage: explain [--json] <launcher.exe> [arguments]\r\n"
    L"\r\n"
    L"Tells what the launcher would do when started with these arguments from\r\n"
    L"the current folder: the settings it reads and where each value comes\r\n"
    L"from, how it finds the Java runtime, the environment, the splash screen,\r\n"
    L"the VM options and the arguments of main. Nothing is started or written.\r\n"
    L"\r\n"
    L"  --json   one JSON document instead of text\r\n";

// A console shows the text in UTF-16; a file or pipe gets it in the ANSI
// code page, or in UTF-8 (with a byte-order mark) when the code page
// cannot spell all of it.
void write(HANDLE output, const std::wstring& text) {
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::string bytes;
    if (!toAnsi(text, bytes)) bytes = "\xEF\xBB\xBF" + toUtf8(text);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring fullPath(const std::wstring& path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    DWORD length = needed ? GetFullPathNameW(path.c_str(), needed, full.data(), nullptr) : 0;
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace

int main() {
    SetThreadLocale(GetSystemDefaultLCID());
    std::vector<Argument> words = argumentsFromCommandLine(std::wstring(GetCommandLineW()));
    bool json = false;
    std::size_t next = 0;
    for (; next < words.size(); ++next) {
        const std::string& word = words[next].text;
        if (word == "--json") {
            json = true;
        } else if (word == "--help" || word == "-h" || word == "/?") {
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
    std::wstring executable = fullPath(wideOf(words[next]));
    std::vector<Argument> arguments(words.begin() + static_cast<std::ptrdiff_t>(next) + 1, words.end());

    Explanation explanation = explainLaunch(executable, arguments);
    write(GetStdHandle(STD_OUTPUT_HANDLE), json ? toWide(jsonReport(explanation)) : textReport(explanation));
    return explanation.plan.outcome == LaunchOutcome::StartsJava ? 0 : 1;
}
