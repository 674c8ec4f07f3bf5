#pragma once
// The text rules of settings values: the ";"-separated list, and how a value
// of a "+" section extends the value before it. Plain functions with no
// Windows calls.

#include <string>
#include <vector>

// Splits at every ";": empty items between separators count, a separator at
// the end adds no item, an empty text gives no items.
std::vector<std::string> splitList(const std::string& text);

// Appends a plus-section value: one blank between, unless the value itself
// begins with a blank.
std::string joinPlusValue(const std::string& result, const std::string& plusValue);
