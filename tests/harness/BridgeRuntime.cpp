#include "harness/BridgeRuntime.h"

std::string addBridgeRuntime(const TestFolder& folder, const std::string& home, const std::string& java) {
    folder.write(home + "\\bin\\java.dll", "");
    folder.copyFromBuild("bridgejvm.dll", home + "\\bin\\client\\jvm.dll");
    folder.copyFromBuild("bridgejvm.dll", home + "\\bin\\server\\jvm.dll");
    for (const char* file : {"bridgejvm-server.jar", "bridgejvm-start.sh"})
        folder.copyFromBuild(file, home + "\\lib\\bridgejvm\\" + file);
    std::string variant = java.empty() ? "" : "-" + java;
    folder.copyFromBuild("bridgejvm" + variant + ".ini", home + "\\lib\\bridgejvm\\bridgejvm.ini");
    folder.copyFromBuild("bridgejvm" + variant + "-release", home + "\\release");
    // What a Windows runtime has: java.exe, and the base archive beside
    // jvm.dll where the Linux Java has one.
    folder.write(home + "\\bin\\java.exe", "");
    std::string ini = folder.read(home + "\\lib\\bridgejvm\\bridgejvm.ini");
    std::size_t start = ini.find("Java=") + 5, end = ini.find("/bin/java", start);
    std::string base = "Z:" + ini.substr(start, end - start) + "/lib/server/classes.jsa";
    if (GetFileAttributesA(base.c_str()) != INVALID_FILE_ATTRIBUTES)
        for (const char* type : {"client", "server"}) folder.write(home + "\\bin\\" + type + "\\classes.jsa", "");
    return folder.file(home);
}

std::string bridgeJavaMissing(const std::string& java) {
    const char* java25 = "Z:\\usr\\lib\\jvm\\temurin-25-jdk-amd64\\bin\\java";
    if (java == "java25" && GetFileAttributesA(java25) == INVALID_FILE_ATTRIBUTES)
        return "Java 25 is not installed at /usr/lib/jvm/temurin-25-jdk-amd64";
    std::string release = buildOutputFolder() + "\\bridgejvm-" + java + "-release";
    if (GetFileAttributesA(release.c_str()) == INVALID_FILE_ATTRIBUTES)
        return "the build made no bridge runtime for " + java + " (" + release + " is missing)";
    return {};
}

std::string unixPathOf(const std::string& windowsPath) {
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    static auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), length);
    char* unix = toUnix(wide.c_str());
    if (!unix) return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::vector<int> bridgeJvmProcesses(const std::string& windowsFolder) {
    std::string marker = "-Dbridgejvm.runtime=" + unixPathOf(windowsFolder) + "/";
    std::vector<int> found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        std::string name = entry.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        HANDLE file = CreateFileA(("Z:\\proc\\" + name + "\\cmdline").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        std::string commandLine;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) commandLine.append(buffer, read);
        CloseHandle(file);
        for (char& c : commandLine)
            if (c == '\0') c = ' ';
        if (commandLine.find(marker) != std::string::npos) found.push_back(std::stoi(name));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

bool waitForNoBridgeJvm(const std::string& windowsFolder, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!bridgeJvmProcesses(windowsFolder).empty()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}
