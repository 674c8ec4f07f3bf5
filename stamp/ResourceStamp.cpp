#include "stamp/ResourceStamp.h"

#include "stamp/Files.h"
#include "stamp/Owners.h"

namespace {

// A file that is deleted with its owner, unless it was kept.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }

    // Creates a new, empty file "<beside>.<process id>-<n>.tmp" and opens it
    // for writing.
    UniqueFile create(const std::wstring& beside) {
        for (unsigned n = 0; n < 100; ++n) {
            std::wstring path =
                beside + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n) + L".tmp";
            UniqueFile file(
                CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file || GetLastError() != ERROR_FILE_EXISTS) {
                if (file) path_ = path;
                return file;
            }
        }
        return UniqueFile();
    }
    const std::wstring& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::wstring path_;
};

ResourceId idFrom(const wchar_t* value) {
    if (IS_INTRESOURCE(value)) return {static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(value)), {}};
    return {0, toU16(value)};
}

// The id as the resource calls take it; a name is kept in storage.
const wchar_t* idArgument(const ResourceId& id, std::wstring& storage) {
    if (id.name.empty()) return MAKEINTRESOURCEW(id.number);
    storage = fromU16(id.name);
    return storage.c_str();
}

struct Enumeration {
    std::vector<Resource>* resources = nullptr;
    bool failed = false;  // a resource could not be read
};

BOOL CALLBACK addLanguage(HMODULE module, const wchar_t* type, const wchar_t* name, WORD language, LONG_PTR context) {
    auto* enumeration = reinterpret_cast<Enumeration*>(context);
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) {
        enumeration->failed = true;
        return FALSE;
    }
    enumeration->resources->push_back(
        {idFrom(type), idFrom(name), language, Bytes(data, data + SizeofResource(module, found))});
    return TRUE;
}

BOOL CALLBACK addName(HMODULE module, const wchar_t* type, wchar_t* name, LONG_PTR context) {
    EnumResourceLanguagesW(module, type, name, addLanguage, context);
    return !reinterpret_cast<Enumeration*>(context)->failed;
}

BOOL CALLBACK addType(HMODULE module, wchar_t* type, LONG_PTR context) {
    EnumResourceNamesW(module, type, addName, context);
    return !reinterpret_cast<Enumeration*>(context)->failed;
}

bool writeAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(size < (1u << 20) ? size : (1u << 20));
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// Sets the header checksum of the finished file; the resource update leaves
// the input's value there.
bool updateChecksum(const std::wstring& path, std::size_t checksumAt, std::wstring& error) {
    Bytes written;
    if (!readFileBytes(path, UINT32_MAX, written, error)) return false;
    if (!readPeImage(written.data(), written.size()).error.empty()) {
        error = L"the resource update made no executable of " + path;
        return false;
    }
    std::uint8_t checksum[4];
    writeU32(checksum, peChecksum(written.data(), written.size(), checksumAt));
    UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(checksumAt);
    if (!file || !SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !writeAll(file.get(), checksum, 4)) {
        error = L"cannot write " + path + L": " + systemMessage(GetLastError(), path);
        return false;
    }
    return true;
}

}  // namespace

bool readResources(const std::wstring& path, std::vector<Resource>& resources, std::wstring& error) {
    UniqueModule module(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) {
        error = L"cannot read the resources of " + path + L": " + systemMessage(GetLastError(), path);
        return false;
    }
    Enumeration enumeration{&resources, false};
    SetLastError(ERROR_SUCCESS);
    if (!EnumResourceTypesW(module.get(), addType, reinterpret_cast<LONG_PTR>(&enumeration))) {
        DWORD code = GetLastError();
        // An executable without resources is no failure.
        bool none = code == ERROR_RESOURCE_DATA_NOT_FOUND || code == ERROR_RESOURCE_TYPE_NOT_FOUND;
        if (enumeration.failed || !none) {
            error = L"cannot read the resources of " + path + L": " + systemMessage(code, path);
            return false;
        }
    }
    return true;
}

bool writeExecutable(const Bytes& file, const PeImage& image, const std::vector<Resource>& resources,
                     const std::wstring& output, std::wstring& error) {
    TemporaryFile temporary;
    {
        UniqueFile handle = temporary.create(output);
        if (!handle) {
            error = L"cannot create a file in " + folderOf(output) + L": " +
                    systemMessage(GetLastError(), folderOf(output));
            return false;
        }
        if (!writeAll(handle.get(), file.data(), file.size())) {
            error = L"cannot write " + temporary.path() + L": " + systemMessage(GetLastError(), temporary.path());
            return false;
        }
    }

    UniqueResourceUpdate update(BeginUpdateResourceW(temporary.path().c_str(), TRUE));
    if (!update) {
        error = L"cannot update the resources of " + temporary.path() + L": " +
                systemMessage(GetLastError(), temporary.path());
        return false;
    }
    for (const Resource& resource : resources) {
        std::wstring typeName, name;
        std::uint8_t empty = 0;
        void* data = resource.data.empty() ? &empty : const_cast<std::uint8_t*>(resource.data.data());
        if (!UpdateResourceW(update.get(), idArgument(resource.type, typeName), idArgument(resource.name, name),
                             resource.language, data, static_cast<DWORD>(resource.data.size()))) {
            error = L"cannot update the resources of " + temporary.path() + L": " +
                    systemMessage(GetLastError(), temporary.path());
            return false;
        }
    }
    if (!EndUpdateResourceW(update.release(), FALSE)) {
        error = L"cannot write the resources of " + temporary.path() + L": " +
                systemMessage(GetLastError(), temporary.path());
        return false;
    }

    if (readU32(file.data() + image.checksumAt) != 0 && !updateChecksum(temporary.path(), image.checksumAt, error))
        return false;
    if (!MoveFileExW(temporary.path().c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = L"cannot replace " + output + L": " + systemMessage(GetLastError(), output);
        return false;
    }
    temporary.keep();
    return true;
}
