#include "jvm/MemoryOptions.h"

#include "base/AnsiText.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }


// Whole kilobytes of a byte count, held in 32 bits.
std::uint32_t kilobytes(std::uint64_t bytes) {
    std::uint64_t kb = bytes >> 10;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}

}  // namespace

NumberList parseNumberList(const std::string& text, bool lastDigitCounts) {
    NumberList list;
    std::size_t start = 0;
    while (start < text.size() && !isDigit(text[start]) && text[start] != ':') ++start;
    list.prefixLength = start;
    if (start == text.size()) return list;

    std::size_t end = text.size() - 1;
    if (lastDigitCounts && isDigit(text.back())) end = text.size();
    list.numbers.push_back(0);
    for (std::size_t i = start; i < end; ++i) {
        if (isDigit(text[i])) {
            list.numbers.back() = list.numbers.back() * 10u + static_cast<std::uint32_t>(text[i] - '0');
        } else if (text[i] == ':') {
            list.numbers.push_back(0);
        }
    }
    return list;
}

bool isPercentMemoryOption(const std::string& option) {
    if (option.size() < 5) return false;
    std::string prefix = option.substr(0, 4);
    if (prefix != "-Xms" && prefix != "-Xmx" && prefix != "-Xss") return false;
    char last = option.back();
    return last == 'P' || last == 'p' || last == 'T' || last == 't';
}

std::string percentMemoryOption(const std::string& option, std::uint64_t totalPhysical,
                                std::uint64_t availableVirtual) {
    if (!isPercentMemoryOption(option)) return option;
    NumberList list = parseNumberList(option);
    auto number = [&](std::size_t i) -> std::uint32_t {
        return i < list.numbers.size() ? list.numbers[i] : 0;
    };
    std::uint32_t percentage = number(0);
    std::uint32_t minimum = number(1);
    std::uint32_t maximum = number(2);

    char basisLetter = option.back();
    std::uint32_t basis = kilobytes(basisLetter == 'P' || basisLetter == 'p' ? totalPhysical
                                                                            : availableVirtual);
    double product = static_cast<double>(basis) * (static_cast<double>(percentage) * 0.01);
    std::uint32_t size = product >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(product);

    if (maximum != 0) {
        std::uint32_t maximumKb = maximum << 10;
        if (size > maximumKb) size = maximumKb;
    }
    std::uint32_t minimumKb = minimum << 10;
    if (minimumKb > size) size = minimumKb;

    return option.substr(0, list.prefixLength) + ansi::decimal(static_cast<std::int32_t>(size)) + "K";
}

std::uint32_t parseStackSize(const std::string& value) {
    NumberList list = parseNumberList(value, true);
    if (list.prefixLength != 0 || list.numbers.size() != 1) return 0;
    std::uint32_t factor = 1;
    switch (value.back()) {
    case 'G': case 'g': factor = 0x40000000u; break;
    case 'M': case 'm': factor = 0x100000u; break;
    case 'K': case 'k': factor = 1024u; break;
    default: break;
    }
    return list.numbers[0] * factor;
}
