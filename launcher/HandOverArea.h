#pragma once
// The argument area of the single-instance block: how a secondary writes its
// arguments into it and how the primary reads them back. Another process
// writes the area, so reading trusts nothing in it and never looks past its
// end. Plain functions with no Windows calls.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t kArgumentAreaSize = 1040;

using ArgumentArea = std::span<std::uint8_t, kArgumentAreaSize>;
using ConstArgumentArea = std::span<const std::uint8_t, kArgumentAreaSize>;

// Zeroes the area and writes the arguments into it. False, with nothing
// written, when they need more than the area: the bytes of every argument,
// one zero byte after each, and one more at the end.
bool encodeArguments(const std::vector<std::string>& arguments, ArgumentArea area);

// Reads the arguments back: a zero byte ends an argument, and two zero bytes
// in a row end the list. So an empty argument ends the list early, and an
// area without arguments reads back as one empty argument. Text not ended by
// two zero bytes before the last byte of the area is dropped.
std::vector<std::string> decodeArguments(ConstArgumentArea area);
