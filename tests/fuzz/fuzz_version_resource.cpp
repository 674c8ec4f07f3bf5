// The version resource of stamp: what the reader takes from any bytes is
// written and read back unchanged; and the version numbers of the options.
#include <vector>

#include "FuzzInput.h"
#include "stamp/VersionResource.h"

namespace {

bool same(const VersionInfo& a, const VersionInfo& b) {
    return a.fixed.fileVersion == b.fixed.fileVersion && a.fixed.productVersion == b.fixed.productVersion &&
           a.fixed.flags == b.fixed.flags && a.fixed.type == b.fixed.type && a.language == b.language &&
           a.codePage == b.codePage && a.strings == b.strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    VersionInfo info;
    if (parseVersionInfo(bytes.data(), bytes.size(), info)) {
        Bytes written = encodeVersionInfo(info);
        VersionInfo again;
        if (!written.empty()) FUZZ_CHECK(parseVersionInfo(written.data(), written.size(), again) && same(info, again));
    }

    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    ParsedVersion whole = parseVersionNumber(text);
    if (whole.error.empty()) {
        FUZZ_CHECK(whole.found);
        ParsedVersion again = parseVersionNumber(versionText(whole.number));
        FUZZ_CHECK(again.error.empty() && again.number == whole.number);
        // A whole version is also the version its text begins with.
        FUZZ_CHECK(leadingVersionNumber(text).number == whole.number);
    }
    ParsedVersion leading = leadingVersionNumber(text);
    if (!leading.found) FUZZ_CHECK(leading.error.empty());
    return 0;
}
