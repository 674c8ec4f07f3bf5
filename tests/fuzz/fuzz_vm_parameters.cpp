// Splitting "Virtual Machine Parameters" and removing their quotes.
#include "FuzzInput.h"
#include "jvm/VmParameters.h"

namespace {
std::string unchanged(const std::string& option) { return option; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzzText(data, size);
    std::size_t total = 0;
    for (const std::string& piece : splitVmParameterPieces(text)) {
        FUZZ_CHECK(text.find(piece) != std::string::npos);
        total += piece.size();
        std::string stripped = stripQuotes(piece);
        FUZZ_CHECK(stripped.size() <= piece.size());
    }
    FUZZ_CHECK(total <= text.size());
    std::uint32_t stack = 0;
    for (const std::string& option : splitVmParameters(text, stack, &unchanged))
        FUZZ_CHECK(!option.empty() && option.size() <= text.size());
    return 0;
}
