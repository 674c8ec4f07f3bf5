#!/usr/bin/env python3
"""Draws the demo application's icon: a teal disc with a white ring and a
white triangle pointing right. Writes an .ico file with 16, 32 and 48 pixel
bitmaps (32 bits, with alpha) and a 256 pixel PNG image, the usual set of a
Windows application icon. Needs no package beyond Python's own."""
import struct
import sys
import zlib

TEAL = (0, 128, 128)
WHITE = (255, 255, 255)


def colour_at(x, y):
    """Colour of a point of the unit square (0..1, top-left origin), or None."""
    dx, dy = x - 0.5, y - 0.5
    r = (dx * dx + dy * dy) ** 0.5
    if r > 0.47:
        return None
    if 0.36 < r < 0.41:
        return WHITE
    # a triangle with its tip to the right
    if 0.38 <= x <= 0.68 and abs(y - 0.5) <= (0.68 - x) * 0.6:
        return WHITE
    return TEAL


def pixels(size):
    """Rows of (r, g, b, a) from the top, each pixel the mean of samples."""
    n = 4 if size <= 48 else 2
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c:
                        r, g, b, covered = r + c[0], g + c[1], b + c[2], covered + 1
            if covered:
                row.append((r // covered, g // covered, b // covered, 255 * covered // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap(size):
    """A 32-bit image: the header, the pixels from the bottom row up, the mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in reversed(pixels(size)) for r, g, b, a in row)
    mask_row = ((size + 31) // 32) * 4
    return header + colour + b'\0' * (mask_row * size)


def png(size):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in pixels(size))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    images = [(16, bitmap(16)), (32, bitmap(32)), (48, bitmap(48)), (256, png(256))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(data for _, data in images))


if __name__ == '__main__':
    main(sys.argv[1])
