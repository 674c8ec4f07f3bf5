#pragma once
// A check of Windows bitmap (BMP) files before they reach the picture
// decoder, which takes the sizes in their headers on trust and reads the
// colour table and the pixel rows from wherever those sizes point. Plain
// functions with no Windows calls.

#include <cstddef>
#include <cstdint>

// True for a BMP file (it begins with "BM") that must not be decoded: its
// headers, colour table or pixel data reach past the count bytes there are,
// or it has no pixels at all. Data of any other format is not looked at.
bool isBrokenBitmap(const std::uint8_t* bytes, std::size_t count);
