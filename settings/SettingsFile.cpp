#include "settings/SettingsFile.h"

#include <windows.h>

#include "base/FileProbe.h"

// The file's bytes in one read (the platform's reader takes no path of
// MAX_PATH characters or more): UTF-16 after its mark, else ANSI text. The
// settings file as read goes into the trace.
const SettingsFile::Loaded& SettingsFile::load(Loaded& loaded, const std::string& path) const {
    if (loaded.read && loaded.path == path) return loaded;
    std::string bytes;
    bool read = path.size() < MAX_PATH && readWholeFile(path, bytes);
    if (!read) bytes.clear();
    if (trace_ && &loaded == &file_) trace_->settingsFile(read, bytes);
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

bool SettingsFile::write(const std::string& file, const char* section, const char* key, const std::string& value) {
    if (!WritePrivateProfileStringA(section, key, value.c_str(), file.c_str())) return false;
    file_.read = userFile_.read = false;
    return true;
}

std::string SettingsFile::keep(LaunchStage stage, const char* section, const char* key, std::string value,
                               SettingSource source) const {
    if (trace_) trace_->setting({stage, section, key, value, source});
    return value;
}

std::string SettingsFile::layered(const char* section, const char* key, SettingSource& source) const {
    const Loaded& file = load(file_, path_);
    std::string fileValue = value(file, section, key);
    if (!fileValue.empty()) {
        source = SettingSource::FileSection;
        return fileValue;
    }
    std::string plusValue = value(file, std::string(section) + "+", key);
    source = plusValue.empty() ? SettingSource::Missing : SettingSource::PlusSection;
    return joinPlusValue(std::string(), plusValue);
}

std::string SettingsFile::lookup(LaunchStage stage, const char* section, const char* key) const {
    SettingSource source;
    std::string value = layered(section, key, source);
    return keep(stage, section, key, std::move(value), source);
}

std::string SettingsFile::read(LaunchStage stage, const char* section, const char* key) const {
    return keep(stage, section, key, value(load(file_, path_), section, key), SettingSource::File);
}

std::string SettingsFile::readUserFile(LaunchStage stage, const std::string& file, const char* section,
                                       const char* key) const {
    return keep(stage, section, key, value(load(userFile_, file), section, key), SettingSource::UserFile);
}

std::string SettingsFile::lookupPath(LaunchStage stage, const char* section, const char* key, bool layered,
                                     PathSetting paths) const {
    SettingSource source = SettingSource::File;
    std::string value = layered ? this->layered(section, key, source) : SettingsFile::value(load(file_, path_), section, key);
    return keep(stage, section, key, pathValue(section, key, layered, std::move(value), paths), source);
}

std::string SettingsFile::pathValue(const char* section, const char* key, bool layered, std::string value,
                                    PathSetting paths) const {
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
    bool first = true;
    for (std::size_t start = 0; start <= wide.size();) {
        std::size_t end = wide.find(L';', start);
        if (end == std::wstring::npos) end = wide.size();
        // Blanks before an entry (as the "+" section's value begins) stay
        // where they are, outside the path.
        std::size_t blanks = wide.find_first_not_of(L' ', start);
        if (blanks == std::wstring::npos || blanks > end) blanks = end;
        std::wstring piece = wide.substr(blanks, end - blanks);
        AnsiPath item = ansiPathOf(piece, &paths.base);
        if (!item.ok && (paths.missing == MissingPath::Stops || pathExists(piece, &paths.base))) {
            paths.failure.emplace(pathFailure(piece));
            return {};
        }
        if (!item.ok && paths.missing == MissingPath::Made) {
            *paths.made = wide;
            return nearestAnsi(wide);
        }
        if (item.ok) {
            traceShortName(trace_, piece, item);
            if (!first) ansiValue += ';';
            ansiValue.append(blanks - start, ' ');
            ansiValue += item.path;
            first = false;
        } else if (trace_) {
            // Not there: left out, as the trace says.
            trace_->shortName(piece, {});
        }
        if (end == wide.size()) break;
        start = end + 1;
    }
    return ansiValue;
}
