// The in-memory INI parser of the settings lookup and the plus-section join.
#include "FuzzInput.h"
#include "settings/BaseText.h"

#include <windows.h>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    std::vector<BaseSection> base = parseBaseText(text);
    FUZZ_CHECK(base.size() <= text.size());
    for (std::size_t i = 0; i < base.size(); ++i) {
        const BaseSection& section = base[i];
        FUZZ_CHECK(section.name.size() <= text.size());
        bool firstOfItsName = std::none_of(base.begin(), base.begin() + i, [&](const BaseSection& s) {
            return lstrcmpA(s.name.c_str(), section.name.c_str()) == 0;
        });
        for (const BaseEntry& entry : section.entries) {
            FUZZ_CHECK(entry.key.size() + entry.value.size() < text.size());
            // Keys of the first section of a name are found again.
            if (firstOfItsName) FUZZ_CHECK(findBaseValue(base, section.name, entry.key) != nullptr);
        }
    }
    std::size_t half = text.size() / 2;
    std::string joined = joinPlusValue(text.substr(0, half), text.substr(half));
    FUZZ_CHECK(joined.size() == text.size() || joined.size() == text.size() + 1);
    return 0;
}
