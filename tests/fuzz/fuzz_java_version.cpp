// Java version parsing, ordering, patterns and text.
#include "FuzzInput.h"
#include "settings/JavaVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    std::size_t half = text.size() / 2;
    JavaVersion a, b, filled;
    bool parsed = JavaVersion::parse(text.substr(0, half), kVersionFillMin, a);
    JavaVersion::parse(text.substr(half), kVersionFillMin, b);
    JavaVersion::parse(text, kVersionFillMax, filled);
    FUZZ_CHECK(a.count >= 0 && a.count <= 4);
    if (!parsed) FUZZ_CHECK(a.count == 0 && compare(a, JavaVersion()) == 0);
    if (parsed) FUZZ_CHECK(a.count >= 1);
    for (int i = 0; i < 4; ++i) FUZZ_CHECK(a.parts[i] >= 0);
    FUZZ_CHECK(compare(a, a) == 0);
    FUZZ_CHECK(compare(a, b) == -compare(b, a));
    FUZZ_CHECK(matches(a, a));
    if (matches(a, b) && b.count > 0) FUZZ_CHECK(b.count <= a.count || compare(a, b) == 0);
    std::string shown = toText(filled);
    FUZZ_CHECK(shown.size() >= 3);
    isUnbounded(filled);
    return 0;
}
