// The walk through a string-table resource block.
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "base/StringTableBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint16_t> block(size / 2);
    if (!block.empty()) std::memcpy(block.data(), data, block.size() * 2);
    for (unsigned position = 0; position < 16; ++position) {
        StringTableEntry entry;
        if (findStringTableEntry(block.data(), block.size(), position, entry)) {
            FUZZ_CHECK(entry.length > 0);
            FUZZ_CHECK(entry.text > block.data());
            FUZZ_CHECK(entry.text + entry.length <= block.data() + block.size());
        }
    }
    return 0;
}
