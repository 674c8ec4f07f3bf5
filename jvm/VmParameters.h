#pragma once
// "Virtual Machine Parameters": split at blanks outside quoted parts, quotes
// removed, memory forms rewritten, the stack size of "-Xss" taken.

#include <cstdint>
#include <string>
#include <vector>

// Splits "Virtual Machine Parameters" at blanks outside quoted parts; the
// pieces come back unchanged (quotes still in them, empty pieces included).
std::vector<std::string> splitVmParameterPieces(const std::string& value);

// Removes the quotes of quoted parts; a part closed by two quotes keeps one.
std::string stripQuotes(const std::string& option);

// The VM parameters as options: split, quotes stripped, memory forms
// rewritten by rewriteMemory, empty ones dropped. stackSize is set from each
// "-Xss" option, so the last one decides.
using MemoryRewrite = std::string (*)(const std::string&);
std::vector<std::string> splitVmParameters(const std::string& value, std::uint32_t& stackSize,
                                           MemoryRewrite rewriteMemory);
