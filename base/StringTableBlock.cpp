#include "base/StringTableBlock.h"

bool findStringTableEntry(const std::uint16_t* block, std::size_t words, unsigned position,
                          StringTableEntry& entry) {
    std::size_t at = 0;
    for (unsigned skipped = 0; skipped < position; ++skipped) {
        if (at >= words) return false;
        std::size_t count = block[at];
        if (count > words - at - 1) return false;
        at += 1 + count;
    }
    if (at >= words) return false;
    std::size_t count = block[at];
    if (count == 0 || count > words - at - 1) return false;
    entry.text = block + at + 1;
    entry.length = count;
    return true;
}
