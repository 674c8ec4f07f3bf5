// The ";" splitting rule of list settings and the "+" section join.
#include "FuzzInput.h"
#include "settings/SettingsText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    std::vector<std::string> items = splitList(text);
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) joined += (i ? ";" : "") + items[i];
    // The items put back together give the text, less a separator at the end.
    FUZZ_CHECK(joined == text || joined + ";" == text);
    FUZZ_CHECK(items.empty() == text.empty());
    std::size_t half = text.size() / 2;
    std::string extended = joinPlusValue(text.substr(0, half), text.substr(half));
    FUZZ_CHECK(extended.size() == text.size() || extended.size() == text.size() + 1);
    return 0;
}
