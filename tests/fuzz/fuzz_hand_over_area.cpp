// The single-instance argument area: reading what another process left in
// it, and writing arguments that must read back unchanged.
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "launcher/HandOverArea.h"

namespace {

// The input's first bytes as an area (zeros after a short input), on the
// heap with nothing beside it, so that a read past its end is caught.
void decodeForeignArea(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(kArgumentAreaSize, 0);
    std::memcpy(bytes.data(), data, size < bytes.size() ? size : bytes.size());
    const ConstArgumentArea area(bytes.data(), kArgumentAreaSize);
    std::vector<std::string> arguments = decodeArguments(area);

    // Every argument is a zero-free run of the area, in order, each after
    // the previous one's zero.
    std::size_t at = 0;
    for (const std::string& argument : arguments) {
        FUZZ_CHECK(argument.find('\0') == std::string::npos);
        FUZZ_CHECK(at + argument.size() < kArgumentAreaSize);
        FUZZ_CHECK(std::memcmp(bytes.data() + at, argument.data(), argument.size()) == 0);
        at += argument.size();
        FUZZ_CHECK(bytes[at] == 0);
        ++at;
    }
    FUZZ_CHECK(at <= kArgumentAreaSize);
}

// The input split at its zero bytes, as a secondary's arguments.
void roundTrip(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string text = fuzzText(data, size);
    std::size_t start = 0;
    for (std::size_t zero; (zero = text.find('\0', start)) != std::string::npos; start = zero + 1)
        arguments.push_back(text.substr(start, zero - start));
    arguments.push_back(text.substr(start));

    std::size_t needed = 1;
    bool anyEmpty = false;
    for (const std::string& argument : arguments) {
        needed += argument.size() + 1;
        anyEmpty = anyEmpty || argument.empty();
    }

    std::vector<std::uint8_t> bytes(kArgumentAreaSize, 0xA5);
    const std::vector<std::uint8_t> before = bytes;
    const ArgumentArea area(bytes.data(), kArgumentAreaSize);
    bool written = encodeArguments(arguments, area);
    FUZZ_CHECK(written == (needed <= kArgumentAreaSize));
    if (!written) {
        FUZZ_CHECK(bytes == before);
        return;
    }
    // Zeros from the end mark to the end of the area.
    for (std::size_t i = needed - 1; i < kArgumentAreaSize; ++i) FUZZ_CHECK(bytes[i] == 0);
    std::vector<std::string> decoded = decodeArguments(ConstArgumentArea(bytes.data(), kArgumentAreaSize));
    if (!anyEmpty) FUZZ_CHECK(decoded == arguments);
    // An empty argument ends the list early: what is read is a beginning of
    // the list.
    FUZZ_CHECK(decoded.size() <= arguments.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) FUZZ_CHECK(decoded[i] == arguments[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    decodeForeignArea(data, size);
    roundTrip(data, size);
    return 0;
}
