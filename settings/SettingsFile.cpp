#include "settings/SettingsFile.h"

#include <windows.h>

#include "base/FileTest.h"

namespace {

// A value read into a buffer that grows until it fits; it stops growing at
// kLongestValue, and a longer value is taken as far as it was read.
template <class Char, class Read>
std::basic_string<Char> readGrowing(Read read) {
    DWORD size = 256;
    for (;;) {
        std::basic_string<Char> buffer(size, Char());
        DWORD length = read(buffer.data(), size);
        if (length < size - 1 || size >= kLongestValue) {
            buffer.resize(length < size ? length : size - 1);
            return buffer;
        }
        size *= 2;
    }
}

}  // namespace

std::string readValue(const std::string& file, const char* section, const char* key) {
    return readGrowing<char>([&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section, key, "", buffer, size, file.c_str());
    });
}

std::wstring readWideValue(const std::string& file, const char* section, const char* key) {
    std::wstring wideFile = toWide(file), wideSection = toWide(section), wideKey = toWide(key);
    return readGrowing<wchar_t>([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"", buffer, size, wideFile.c_str());
    });
}

// The file's bytes in one read (the platform's reader takes no path of
// MAX_PATH characters or more): UTF-16 after its mark, else ANSI text.
const SettingsFile::Loaded& SettingsFile::load(Loaded& loaded, const std::string& path) const {
    if (loaded.read && loaded.path == path) return loaded;
    std::string bytes;
    if (path.size() >= MAX_PATH || !readWholeFile(path, bytes)) bytes.clear();
    loaded.path = path;
    loaded.read = true;
    loaded.utf16 = isUtf16Settings(bytes);
    loaded.index = ProfileIndex(loaded.utf16 ? utf16SettingsText(bytes) : toWide(bytes));
    return loaded;
}

SettingsFile::~SettingsFile() = default;

std::wstring_view SettingsFile::wideValue(const Loaded& file, std::string_view section, const char* key) {
    return file.index.value(toWide(section), toWide(key), kLongestValue - 1);
}

std::string SettingsFile::value(const Loaded& file, std::string_view section, const char* key) {
    return nearestAnsi(wideValue(file, section, key));
}

std::string SettingsFile::lookup(const char* section, const char* key, SettingSource* source) const {
    const Loaded& file = load(file_, path_);
    std::string fileValue = value(file, section, key);
    if (!fileValue.empty()) {
        if (source) *source = SettingSource::FileSection;
        return fileValue;
    }
    std::string plusValue = value(file, std::string(section) + "+", key);
    if (source) *source = plusValue.empty() ? SettingSource::Missing : SettingSource::PlusSection;
    return joinPlusValue(std::string(), plusValue);
}

std::string SettingsFile::read(const char* section, const char* key) const {
    return value(load(file_, path_), section, key);
}

std::string SettingsFile::readUserFile(const std::string& file, const char* section, const char* key) const {
    return value(load(userFile_, file), section, key);
}

bool SettingsFile::write(const std::string& file, const char* section, const char* key, const std::string& value) {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), file.c_str())) return false;
    file_.read = userFile_.read = false;
    return true;
}

std::string SettingsFile::lookupPath(const char* section, const char* key, bool layered, PathSetting paths,
                                     SettingSource* source) const {
    std::string value = layered ? lookup(section, key, source) : read(section, key);
    // Only a UTF-16 file can hold what the code page lacks (read as ANSI
    // text it becomes "?" or a look-alike).
    const Loaded& file = load(file_, path_);
    if (!file.utf16) return value;
    std::wstring wide(wideValue(file, section, key));
    if (layered && wide.empty()) {
        wide = wideValue(file, std::string(section) + "+", key);
        if (!wide.empty() && wide[0] != L' ') wide.insert(0, 1, L' ');
    }
    std::string ansiValue;
    if (toAnsi(wide, ansiValue)) return value;
    ansiValue.clear();
    for (std::size_t start = 0; start <= wide.size();) {
        std::size_t end = wide.find(L';', start);
        if (end == std::wstring::npos) end = wide.size();
        // Blanks before an entry (as the "+" section's value begins) stay
        // where they are, outside the path.
        std::size_t blanks = wide.find_first_not_of(L' ', start);
        if (blanks == std::wstring::npos || blanks > end) blanks = end;
        std::wstring piece = wide.substr(blanks, end - blanks);
        AnsiPath item = ansiPathOf(piece, paths.notes, &paths.base);
        if (!item.ok) {
            paths.failure = pathFailure(piece);
            return {};
        }
        ansiValue.append(blanks - start, ' ');
        ansiValue += item.path;
        if (end == wide.size()) break;
        ansiValue += ';';
        start = end + 1;
    }
    return ansiValue;
}

std::string RecordingSettingsFile::keep(const char* section, const char* key, std::string value,
                                        SettingSource source) {
    reads_.push_back({section, key, value, source});
    return value;
}

std::string RecordingSettingsFile::lookup(const char* section, const char* key) {
    SettingSource source = SettingSource::Missing;
    std::string value = file_.lookup(section, key, &source);
    return keep(section, key, std::move(value), source);
}

std::string RecordingSettingsFile::read(const char* section, const char* key) {
    return keep(section, key, file_.read(section, key), SettingSource::File);
}

std::string RecordingSettingsFile::lookupPath(const char* section, const char* key, bool layered,
                                              PathSetting paths) {
    SettingSource source = SettingSource::File;
    std::string value = file_.lookupPath(section, key, layered, paths, layered ? &source : nullptr);
    return keep(section, key, std::move(value), source);
}

std::string RecordingSettingsFile::readUserFile(const std::string& file, const char* section, const char* key) {
    return keep(section, key, file_.readUserFile(file, section, key), SettingSource::UserFile);
}
