#pragma once
// A string-table resource block holds 16 entries, each a 16-bit count followed
// by that many UTF-16 code units, with no terminator.

#include <cstddef>
#include <cstdint>

struct StringTableEntry {
    const std::uint16_t* text = nullptr;
    std::size_t length = 0;
};

// The entry at position (0..15) of a block of `words` 16-bit units. Gives
// false when the walk leaves the block or the entry is empty.
bool findStringTableEntry(const std::uint16_t* block, std::size_t words, unsigned position,
                          StringTableEntry& entry);
