// The percentage form of memory options and the "-Xss" size. The first 16
// bytes give the two memory bases.
#include <cstring>

#include "FuzzInput.h"
#include "jvm/MemoryOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint64_t physical = 0, virtualSpace = 0;
    if (size >= 16) {
        std::memcpy(&physical, data, 8);
        std::memcpy(&virtualSpace, data + 8, 8);
        data += 16;
        size -= 16;
    }
    std::string option = fuzzText(data, size);
    NumberList list = parseNumberList(option);
    FUZZ_CHECK(list.prefixLength <= option.size());
    FUZZ_CHECK(list.numbers.size() <= option.size());
    std::string rewritten = percentMemoryOption(option, physical, virtualSpace);
    if (isPercentMemoryOption(option)) {
        FUZZ_CHECK(rewritten.compare(0, list.prefixLength, option, 0, list.prefixLength) == 0);
        FUZZ_CHECK(rewritten.back() == 'K');
    } else {
        FUZZ_CHECK(rewritten == option);
    }
    parseStackSize(option);
    parseStackSize(rewritten);
    return 0;
}
