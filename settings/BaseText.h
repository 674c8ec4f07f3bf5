#pragma once
// The base layer of the settings lookup: INI text held in memory, parsed
// into sections and entries, and the rules that join layered values. Also
// the splitting rule for ";"-separated values. No file access here.

#include <string>
#include <vector>

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
