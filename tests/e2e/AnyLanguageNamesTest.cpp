// Names the ANSI code page (1252 here) cannot spell: the application's
// folder, a registered Java home, APPDATA, jars found by a wildcard, paths in
// a UTF-16 settings file and the arguments. The launcher uses their short
// names; the arguments reach main whole.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

const wchar_t kJapanese[] = L"\u65E5\u672C";          // two characters of no Western code page
const wchar_t kLodz[] = L"\u0141\u00F3d\u017A";       // Polish: L with stroke has no 1252 byte
const RuntimeLayout kJava9Home = {.client = false, .server = true};

std::wstring wide(const std::string& ansi) {
    std::wstring text(ansi.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(),
                            static_cast<int>(text.size()))));
    return text;
}

std::string utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()),
                                                              nullptr, nullptr)));
    return bytes;
}

// The whole path's short form (ASCII), and the last component of it.
std::string shortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    EXPECT_GT(length, 0u) << utf8(path);
    return utf8(std::wstring(buffer, length < MAX_PATH ? length : 0));
}
std::string shortName(const std::wstring& path) {
    std::string whole = shortPath(path);
    return whole.substr(whole.rfind('\\') + 1);
}

void makeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)); }
void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << utf8(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}
// Text as Notepad saves it "in Unicode": UTF-16LE after a byte-order mark.
std::string utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

void registerHome(const std::wstring& key, const std::wstring& home) {
    HKEY created;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(created, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                   static_cast<DWORD>((home.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(created);
}

class AnyLanguageNames : public ::testing::Test {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }
    void TearDown() override { removeRuntimeRegistrations(); }

    LaunchResult run(const TestFolder& folder, const std::string& exe, LaunchOptions options) {
        DeleteFileA(folder.file("trace.txt").c_str());
        options.environment.push_back({"TESTJVM_TRACE", folder.file("trace.txt")});
        LaunchResult result = launch(exe, options);
        trace_ = readTrace(folder.file("trace.txt"));
        return result;
    }
    std::string loaded() const { return trace_.first("load").get("module"); }
    std::string classPathOption() const {
        std::vector<std::string> options = trace_.first("create").list("option");
        return options.empty() ? "" : options[0];
    }

    Trace trace_;
};

TEST_F(AnyLanguageNames, ApplicationHomeAppDataJarsAndArguments) {
    TestFolder folder("any-language-app");
    const std::wstring base = wide(folder.path());
    const std::wstring app = base + L"\\" + kJapanese + L"\u8A9E";
    const std::wstring home = base + L"\\" + kLodz;
    const std::wstring appData = base + L"\\\u0141ukasz";
    makeFolder(app);
    makeFolder(app + L"\\lib");
    makeFolder(home);
    makeFolder(appData);
    addTestRuntimeAt(shortPath(home), kJava9Home);
    registerHome(L"Software\\Eclipse Adoptium\\JDK\\17.0.1.12\\hotspot\\MSI", home);
    const std::wstring jar = app + L"\\lib\\" + kJapanese + L".jar";
    writeFile(jar, "#testjvm-jar\nclass Main\nmain\n");
    writeFile(app + L"\\MyApp.ini",
              "[Java Runtime Environment]\r\nMain Class=Main\r\nMinimum Version=17\r\n"
              "[Product Information]\r\nProduct Name=Names\r\nProduct Code=1\r\n"
              "[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    std::string appShort = shortPath(app);
    ASSERT_TRUE(CopyFileA((buildOutputFolder() + "\\launcher.exe").c_str(), (appShort + "\\MyApp.exe").c_str(), FALSE));

    // Only the components the code page cannot spell are short.
    const std::string appAnsi = folder.path() + "\\" + shortName(app);
    const std::string homeAnsi = folder.path() + "\\" + shortName(home);
    LaunchOptions options = {.arguments = utf8(kJapanese) + " Caf\xC3\xA9",
                             .environment = {{"APPDATA", utf8(appData)}},
                             .utf8 = true};
    LaunchResult result = run(folder, utf8(app + L"\\MyApp.exe"), options);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_TRUE(trace_.problems().empty()) << trace_.text;
    EXPECT_EQ(loaded(), homeAnsi + "\\bin\\server\\jvm.dll");
    EXPECT_EQ(classPathOption(), "-Djava.class.path=" + appAnsi + "\\lib\\" + shortName(jar) + ";");
    // An argument beyond the code page arrives whole; one within it byte for
    // byte as ever.
    TraceEvent call = trace_.first("call");
    EXPECT_EQ(call.get("arg0-utf8"), utf8(kJapanese)) << trace_.text;
    EXPECT_EQ(call.get("arg1"), "Caf\xE9");
    EXPECT_FALSE(call.has("arg1-utf8"));

    // The per-user settings file lies in APPDATA under its short name.
    removeRuntimeRegistrations();
    makeFolder(appData + L"\\Names");
    makeFolder(appData + L"\\Names\\1");
    writeFile(appData + L"\\Names\\1\\MyApp.ini", "[Java Runtime Environment]\r\nJRE Path=" + homeAnsi + "\r\n");
    result = run(folder, utf8(app + L"\\MyApp.exe"), options);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(loaded(), homeAnsi + "\\bin\\server\\jvm.dll");

    // explain names each short form it used, in UTF-8 after a byte-order
    // mark when its output is a file, and warns of a settings file saved as
    // UTF-8 with a byte-order mark.
    writeFile(app + L"\\MyApp.ini", "\xEF\xBB\xBF[Java Runtime Environment]\r\nMain Class=Main\r\n");
    LaunchOptions explainOptions = {.arguments = "\"" + utf8(app + L"\\MyApp.exe") + "\"",
                                    .environment = options.environment,
                                    .outputFile = folder.file("explain.txt"),
                                    .utf8 = true};
    ASSERT_EQ(launch(buildOutputFolder() + "\\explain.exe", explainOptions).exitCode, 1);
    std::string text = folder.read("explain.txt");
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_NE(text.find(utf8(app) + "\\MyApp.exe has no ANSI spelling; using " + appAnsi + "\\MyApp.exe"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Warning: The settings file begins with a UTF-8 byte-order mark"), std::string::npos);
}

TEST_F(AnyLanguageNames, PathsOfAUtf16SettingsFile) {
    TestFolder folder("any-language-utf16");
    const std::wstring base = wide(folder.path());
    const std::wstring home = base + L"\\" + kLodz;
    makeFolder(home);
    addTestRuntimeAt(shortPath(home), kJava9Home);
    folder.makeFolder("lib");
    const std::wstring jar = base + L"\\lib\\" + kJapanese + L".jar";
    writeFile(jar, "#testjvm-jar\nclass Main\nmain\n");
    folder.write("lib\\app.jar", "#testjvm-jar\n");
    folder.write("app.jar", "#testjvm-jar\n");  // a stray copy beside the launcher
    std::string exe = folder.addLauncher("app.exe");
    const std::wstring settings = L"[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" + home +
                                  L"\r\n[Class Path]\r\nClass Path=\\lib\\" + kJapanese + L".jar;\\lib/app.jar\r\n";
    writeFile(base + L"\\app.ini", utf16File(settings));

    LaunchResult result = run(folder, exe, {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_EQ(loaded(), folder.path() + "\\" + shortName(home) + "\\bin\\server\\jvm.dll");
    EXPECT_EQ(classPathOption(), "-Djava.class.path=" + folder.file("lib\\" + shortName(jar)) + ";" +
                                     folder.file("lib\\app.jar") + ";");

    // A class path entry that does not exist has no short name: the
    // launcher says which path it cannot use and ends, before any VM.
    writeFile(base + L"\\app.ini", utf16File(L"[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" + home +
                                              L"\r\n[Class Path]\r\nClass Path=" + base + L"\\" + kJapanese +
                                              L".jar\r\n"));
    result = run(folder, exe, {});
    EXPECT_EQ(result.exitCode, -1);
    ASSERT_EQ(result.messageBoxes().size(), 1u);
    EXPECT_NE(result.messageBoxes()[0].text.find("Cannot use " + folder.path() + "\\"), std::string::npos)
        << result.messageBoxes()[0].text;
    EXPECT_FALSE(trace_.has("create"));
}

// Optional paths that do not exist are passed over whatever their names'
// characters, as those of ASCII names are: a remembered runtime folder, a
// splash picture, folders of "System Path" and "Library Path"; an output
// file not yet made is made, by its own name.
TEST_F(AnyLanguageNames, MissingOptionalPathsOfAUtf16SettingsFile) {
    TestFolder folder("any-language-missing");
    const std::wstring base = wide(folder.path());
    addTestRuntime(folder, "jre");
    folder.write("classes\\Main.class", "main\n    out hello\n");
    std::string exe = folder.addLauncher("app.exe");
    const std::wstring gone = base + L"\\" + kLodz + L"_gone";
    writeFile(base + L"\\app.ini",
              utf16File(L"[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" + gone +
                        L"\r\nSystem Path=" + gone + L"\\bin;C:\\tools\r\nLibrary Path=" + gone +
                        L";C:\\libs\r\n[Class Path]\r\nClass Path=\\classes\r\n[Application]\r\nOutput File=" + base + L"\\" +
                        kJapanese + L".log\r\n[Display]\r\nSplash Screen=" + gone + L".bmp\r\n"));

    LaunchResult result = run(folder, exe, {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_EQ(loaded(), folder.file("jre\\bin\\client\\jvm.dll"));
    std::string libraryPath = trace_.first("create").list("option")[0];
    EXPECT_EQ(libraryPath.rfind("-Djava.library.path=C:\\libs;" + folder.path() + "\\;.;", 0), 0u) << libraryPath;
    HANDLE log = CreateFileW((base + L"\\" + kJapanese + L".log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    char text[16] = "";
    DWORD read = 0;
    ReadFile(log, text, sizeof text - 1, &read, nullptr);
    CloseHandle(log);
    EXPECT_EQ(std::string(text, read), "hello\r\n");
}

}  // namespace
