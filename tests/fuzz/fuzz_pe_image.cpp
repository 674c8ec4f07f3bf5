// The header checks stamp makes before it loads an executable, and the
// removal of a certificate table.
#include <vector>

#include "FuzzInput.h"
#include "stamp/PeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, data + size);
    PeImage image = readPeImage(bytes.data(), bytes.size());
    if (!image.error.empty()) return 0;
    FUZZ_CHECK(image.checksumAt + 4 <= size);
    FUZZ_CHECK(image.certificateEntryAt == 0 || image.certificateEntryAt + 8 <= size);
    FUZZ_CHECK(std::size_t{image.certificateOffset} + image.certificateSize <= size);
    peChecksum(bytes.data(), bytes.size(), image.checksumAt);
    // Without its certificate table the file is still an executable, with none.
    removeCertificateTable(bytes, image);
    PeImage stripped = readPeImage(bytes.data(), bytes.size());
    FUZZ_CHECK(stripped.error.empty() && stripped.certificateOffset == 0);
    return 0;
}
