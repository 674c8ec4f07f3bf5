// The browser's "red,green,blue" link colours.
#include "FuzzInput.h"
#include "ui/ColorTriple.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    COLORREF color = 0x01020304;
    bool valid = parseColorTriple(text, color);
    if (!valid) FUZZ_CHECK(color == 0x01020304);
    if (valid) FUZZ_CHECK((color & 0xFF000000u) == 0);
    return 0;
}
