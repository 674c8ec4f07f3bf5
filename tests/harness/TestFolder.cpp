#include "harness/TestFolder.h"

#include <windows.h>

#include <stdexcept>

std::string buildOutputFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string module(path, length);
    return module.substr(0, module.rfind('\\'));
}

void createFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

namespace {

// With the wide calls, so that names of any language go too.
void removeWideTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeWideTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

void removeTree(const std::string& path) {
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    // Through the prefix that lifts the length limit: a tree may be deeper
    // than MAX_PATH.
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') wide = L"\\\\?\\" + wide;
    removeWideTree(wide);
}

std::string testDataFile(const std::string& name) {
    // Wine maps the Linux root to drive Z:.
    std::string path = std::string("Z:") + LAUNCHER_TEST_DATA + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string readWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

void writeWholeFile(const std::string& path, const std::string& content) {
    createFolders(path.substr(0, path.rfind('\\')));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

TestFolder::TestFolder(const std::string& name) {
    std::string bin = buildOutputFolder();
    path_ = bin.substr(0, bin.rfind('\\')) + "\\e2e\\" + name;
    removeTree(path_);
    createFolders(path_);
}

std::string TestFolder::file(const std::string& relative) const { return path_ + "\\" + relative; }

void TestFolder::write(const std::string& relative, const std::string& content) const {
    writeWholeFile(file(relative), content);
}

std::string TestFolder::read(const std::string& relative) const { return readWholeFile(file(relative)); }

bool TestFolder::exists(const std::string& relative) const {
    return GetFileAttributesA(file(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TestFolder::makeFolder(const std::string& relative) const { createFolders(file(relative)); }

void TestFolder::copyFromBuild(const std::string& builtName, const std::string& relative) const {
    std::string target = file(relative);
    createFolders(target.substr(0, target.rfind('\\')));
    std::string source = buildOutputFolder() + "\\" + builtName;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + target);
}

std::string TestFolder::addLauncher(const std::string& exeName, bool console) const {
    copyFromBuild(console ? "launcher-console.exe" : "launcher.exe", exeName);
    return file(exeName);
}
