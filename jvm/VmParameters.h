#pragma once
// "Virtual Machine Parameters": split at blanks outside quoted parts, quotes
// removed, memory forms rewritten, the stack size of "-Xss" taken.

#include <cstdint>
#include <string>
#include <vector>

#include "jvm/MemoryOptions.h"

// Splits "Virtual Machine Parameters" at blanks outside quoted parts; the
// pieces come back unchanged (quotes still in them, empty pieces included).
std::vector<std::string> splitVmParameterPieces(const std::string& value);

// Removes the quotes of quoted parts; a part closed by two quotes keeps one.
std::string stripQuotes(const std::string& option);

// The VM parameters as options: split, quotes stripped, memory forms
// rewritten by rewriteMemory (a callable taking and giving an option),
// empty ones dropped. stackSize is set from each "-Xss" option, so the last
// one decides.
template <class RewriteMemory>
std::vector<std::string> splitVmParameters(const std::string& value, std::uint32_t& stackSize,
                                           RewriteMemory&& rewriteMemory) {
    std::vector<std::string> options;
    for (const std::string& piece : splitVmParameterPieces(value)) {
        std::string option = rewriteMemory(stripQuotes(piece));
        if (option.compare(0, 4, "-Xss") == 0) stackSize = parseStackSize(option.substr(4));
        if (!option.empty()) options.push_back(option);
    }
    return options;
}
