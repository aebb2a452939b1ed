#!/usr/bin/env python3
"""Draws the application icon: a blue tile with a white upward arrow, at
48, 32 and 16 pixels, 8 bits per pixel with a 256-colour palette. Writes
the ICO bytes directly, so every run gives the same file."""
import struct
import sys

SIZES = (48, 32, 16)
# Palette index -> (blue, green, red); unused entries stay black.
COLOURS = {0: (0, 0, 0), 1: (0xC8, 0x78, 0x1E), 2: (0x8C, 0x46, 0x0A), 3: (0xFF, 0xFF, 0xFF)}
TRANSPARENT, FILL, EDGE, ARROW = 0, 1, 2, 3


def pixel(size, x, y):
    """Palette index of pixel (x, y), y counted from the top."""
    radius = size / 6
    inset = 0.5
    # Rounded-square tile.
    cx = min(max(x + 0.5, radius + inset), size - radius - inset)
    cy = min(max(y + 0.5, radius + inset), size - radius - inset)
    dist = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
    if dist > radius:
        return TRANSPARENT
    # Arrow: a triangle head over a stem, centred.
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    head = 0.18 <= v <= 0.52 and abs(u - 0.5) <= (v - 0.18) * 0.95
    stem = 0.50 <= v <= 0.82 and abs(u - 0.5) <= 0.11
    if head or stem:
        return ARROW
    return EDGE if dist > radius - max(1.0, size / 24) else FILL


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(
        bytes(COLOURS.get(i, (0, 0, 0))) + b"\0" for i in range(256))
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    xor = b""
    and_mask = b""
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom-up
        xor += bytes(row) + b"\0" * ((-size) % 4)
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bytes(bits)
    return header + palette + xor + and_mask


def main(path):
    images = [image(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
