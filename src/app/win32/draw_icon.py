#!/usr/bin/env python3
"""Draws the program's icon, a folder closed by a zip, into an .ico file.

Usage: draw_icon.py OUTPUT.ico

Sizes 16 to 48 are 32-bit bitmaps (every Windows reads them); 256 is a PNG,
as Windows Vista and later expect at that size. Only the standard library is
needed, so the build depends on nothing else.
"""
import struct
import sys
import zlib

# Colours as (red, green, blue, alpha).
OUTLINE = (150, 98, 10, 255)
BODY = (246, 196, 64, 255)
TAB = (226, 160, 32, 255)
TEETH = (70, 70, 78, 255)
PULL = (205, 208, 214, 255)
PULL_EDGE = (90, 92, 100, 255)


def in_rounded(u, v, left, top, right, bottom, radius):
    if not (left <= u <= right and top <= v <= bottom):
        return False
    cx = min(max(u, left + radius), right - radius)
    cy = min(max(v, top + radius), bottom - radius)
    return (u - cx) ** 2 + (v - cy) ** 2 <= radius ** 2


def colour_at(u, v):
    """The icon's colour at a point of the unit square, later layers on top."""
    colour = (0, 0, 0, 0)
    if in_rounded(u, v, 0.06, 0.14, 0.48, 0.34, 0.05):
        colour = OUTLINE
    if in_rounded(u, v, 0.09, 0.17, 0.45, 0.34, 0.03):
        colour = TAB
    if in_rounded(u, v, 0.04, 0.24, 0.96, 0.88, 0.07):
        colour = OUTLINE
    if in_rounded(u, v, 0.075, 0.275, 0.925, 0.845, 0.045):
        colour = BODY
    # The zip: teeth alternating left and right down the middle.
    if 0.42 <= u <= 0.58 and 0.275 <= v <= 0.845:
        row = int((v - 0.275) / 0.07)
        left_tooth = u < 0.5
        if left_tooth == (row % 2 == 0):
            colour = TEETH
    if in_rounded(u, v, 0.39, 0.56, 0.61, 0.78, 0.04):
        colour = PULL_EDGE
    if in_rounded(u, v, 0.42, 0.59, 0.58, 0.75, 0.025):
        colour = PULL
    return colour


def render(size, samples):
    """Rows of RGBA pixels, each the average of samples x samples points."""
    rows = []
    step = 1.0 / (size * samples)
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (x * samples + sx + 0.5) * step
                    v = (y * samples + sy + 0.5) * step
                    cr, cg, cb, ca = colour_at(u, v)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(a / samples ** 2)))
        rows.append(row)
    return rows


def bitmap_entry(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def png_entry(rows):
    size = len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    images = [(size, bitmap_entry(render(size, 4))) for size in (16, 24, 32, 48)]
    images.append((256, png_entry(render(256, 2))))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        side = 0 if size == 256 else size
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
