#pragma once
// The layered settings lookup: a base layer held in memory, then the file's
// own section, then the section of the same name with "+" that extends the
// value. The file is read anew on every lookup.

#include <string>
#include <vector>

// GetPrivateProfileStringA with a buffer that grows until the value fits;
// empty for a missing file, section or key.
std::string readValue(const std::string& file, const std::string& section, const std::string& key);

// Splits at every ";": empty items between separators count, a separator at
// the end adds no item, an empty text gives no items.
std::vector<std::string> splitList(const std::string& text);

struct BaseEntry {
    std::string key;
    std::string value;
};

struct BaseSection {
    std::string name;
    std::vector<BaseEntry> entries;
};

// Parses INI text whose lines end in "\r\n" into sections and entries, in
// order, duplicates kept.
std::vector<BaseSection> parseBaseText(const std::string& text);

// The first value of key in the first section named section; null if none.
const std::string* findBaseValue(const std::vector<BaseSection>& base, const std::string& section,
                                 const std::string& key);

// Appends a plus-section value: one blank between, unless the value itself
// begins with a blank.
std::string joinPlusValue(const std::string& result, const std::string& plusValue);

class SettingsFile {
public:
    SettingsFile(std::string path, const std::string& baseText);

    std::string lookup(const std::string& section, const std::string& key) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<BaseSection> base_;
};
