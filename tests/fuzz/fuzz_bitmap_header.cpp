// The check of bitmap files before the picture decoder sees them.
#include <vector>

#include "FuzzInput.h"
#include "splash/BitmapHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact copy on the heap, so that a read past the end is caught.
    std::vector<std::uint8_t> bytes(data, data + size);
    bool broken = isBrokenBitmap(bytes.data(), bytes.size());
    if (size < 2 || data[0] != 'B' || data[1] != 'M') FUZZ_CHECK(!broken);
    // A bitmap that passes holds at least its headers.
    if (!broken && size >= 2 && data[0] == 'B' && data[1] == 'M') FUZZ_CHECK(size >= 14 + 12);
    // Only the end of the data is checked against: more bytes after a file
    // that passes leave it passing.
    if (!broken) {
        bytes.resize(size + 64, 0);
        FUZZ_CHECK(!isBrokenBitmap(bytes.data(), bytes.size()));
    }
    return 0;
}
