#!/usr/bin/env python3
"""Draws the launcher's icon (res/launcher.ico): a blue rounded tile with a
white arrow pointing right, at 32 pixels in 16 colours: Windows scales it
for the small icon (an application's own icon replaces it, see stamp)."""
import struct
import sys

PALETTE = [(0, 0, 0), (255, 255, 255), (32, 86, 160), (20, 56, 110)] + [(0, 0, 0)] * 12


def pixel(x, y, size):
    """Palette index and transparency of one pixel (x, y from top-left)."""
    s = size / 32.0
    cx, cy = x + 0.5, y + 0.5
    r = 6 * s
    inner = size - 1
    # rounded square with a darker rim
    dx = max(r - cx, 0, cx - (size - r))
    dy = max(r - cy, 0, cy - (size - r))
    dist = (dx * dx + dy * dy) ** 0.5
    if dist > r:
        return 0, True
    if dist > r - 1.2 * s or x in (0, inner) or y in (0, inner):
        colour = 3
    else:
        colour = 2
    # arrow: a shaft and a head pointing right
    shaft = 8 * s <= cx <= 18 * s and 13 * s <= cy <= 19 * s
    head = 17 * s <= cx <= 25 * s and abs(cy - 16 * s) <= (25 * s - cx)
    if shaft or head:
        colour = 1
    return colour, False


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):
        nibbles, mask = [], []
        for x in range(size):
            c, transparent = pixel(x, y, size)
            nibbles.append(c)
            mask.append(1 if transparent else 0)
        row = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(row + b'\0' * (-len(row) % 4))
        bits = bytes(int(''.join(map(str, mask[i:i + 8])), 2) for i in range(0, size, 8))
        and_rows.append(bits + b'\0' * (-len(bits) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main(path):
    images = [image(32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32,), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/launcher.ico')
