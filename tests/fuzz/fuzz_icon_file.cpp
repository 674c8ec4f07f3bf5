// The .ico reader of stamp, and the icon group it writes from what it read.
#include <vector>

#include "FuzzInput.h"
#include "stamp/IconFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    IconFile icon = parseIconFile(bytes.data(), bytes.size());
    FUZZ_CHECK(icon.error.empty() != icon.images.empty());
    FUZZ_CHECK(icon.images.size() <= kMaxIconImages);
    std::vector<IconGroupEntry> entries;
    for (const IconImage& image : icon.images) {
        FUZZ_CHECK(!image.data.empty() && image.data.size() <= size);
        // Only images that hold what their entry says are taken.
        FUZZ_CHECK(checkIconImage(image.header, image.data.data(), image.data.size()).empty());
        entries.push_back({image.header, static_cast<std::uint32_t>(image.data.size()),
                           static_cast<std::uint16_t>(entries.size() + 1)});
    }
    // The group lists the images as they were given to it.
    Bytes group = encodeIconGroup(entries);
    std::vector<IconGroupEntry> read = parseIconGroup(group.data(), group.size());
    FUZZ_CHECK(read.size() == entries.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        FUZZ_CHECK(read[i].id == entries[i].id && read[i].size == entries[i].size &&
                   read[i].header.width == entries[i].header.width &&
                   read[i].header.bitCount == entries[i].header.bitCount);
    // Any bytes as an icon group, and as an image: read within bounds.
    parseIconGroup(bytes.data(), bytes.size());
    if (size >= 2) checkIconImage({bytes[0], bytes[1], 0, 0, 0}, bytes.data() + 2, bytes.size() - 2);
    return 0;
}
