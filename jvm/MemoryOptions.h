#pragma once
// Heap and stack options written as a share of the machine's memory
// ("-Xmx50P", "-Xms10:512P", "-Xss1:0:8T") and the stack size of "-Xss".

#include <cstdint>
#include <string>
#include <vector>

struct NumberList {
    std::size_t prefixLength = 0;  // characters before the first digit or ":"
    std::vector<std::uint32_t> numbers;
};

// Numbers separated by ":" after a prefix; the last character is a unit and
// not read, unless lastDigitCounts and it is a digit.
NumberList parseNumberList(const std::string& text, bool lastDigitCounts = false);

// Whether the option has the percentage form: "-Xms", "-Xmx" or "-Xss", and
// "P", "p", "T" or "t" last.
bool isPercentMemoryOption(const std::string& option);

// The option rewritten with a size in kilobytes computed from the memory
// bases in bytes: total physical memory ("P") or free address space ("T").
// Options without the percentage form come back unchanged.
std::string percentMemoryOption(const std::string& option, std::uint64_t totalPhysical,
                                std::uint64_t availableVirtual);

// The byte count of the text after "-Xss" ("1m", "512k", "1048576"), 0 when
// it can't be read.
std::uint32_t parseStackSize(const std::string& value);
