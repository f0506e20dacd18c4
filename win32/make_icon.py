#!/usr/bin/env python3
"""Draws win32/tjvx.ico: a borehole column of coloured strata, at 16, 24, 32, 48 and 256 pixels.

Run it after changing the drawing; the icon is kept in the repository so the build needs no
Python. Each size is drawn on its own grid (no scaling of one picture), 32-bit with alpha.
"""
import os
import struct
import zlib

STRATA = [  # share of the column's height, colour
    (0.14, (0x8D, 0x6E, 0x4A)),
    (0.24, (0xD9, 0xB8, 0x6C)),
    (0.18, (0x9A, 0xA7, 0x8F)),
    (0.22, (0xC9, 0x9B, 0x6B)),
    (0.22, (0x7A, 0x7D, 0x85)),
]
OUTLINE = (0x33, 0x33, 0x33)
HOLE = (0x20, 0x30, 0x50)
RIG = (0xC0, 0x39, 0x2B)


def draw(size):
    """Rows of RGBA pixels, top row first."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    pad = max(1, size // 16)
    left, right = pad, size - pad - max(3, size * 6 // 16)
    top = max(3, size * 5 // 16)
    bottom = size - pad
    # Strata.
    y = top
    for i, (share, colour) in enumerate(STRATA):
        end = bottom if i == len(STRATA) - 1 else y + round((bottom - top) * share)
        for row in range(y, end):
            for col in range(left, right):
                shade = colour
                # A light diagonal hatch on every other stratum, where there is room for it.
                if size >= 32 and i % 2 == 1 and (row + col) % 4 == 0:
                    shade = tuple(min(255, c + 40) for c in colour)
                px[row][col] = shade + (255,)
        y = end
    # The borehole down the middle.
    hole = max(1, size // 10)
    mid = (left + right) // 2
    for row in range(top, bottom):
        for col in range(mid - hole // 2, mid - hole // 2 + hole):
            px[row][col] = HOLE + (255,)
    # The outline.
    for col in range(left, right):
        px[top][col] = OUTLINE + (255,)
        px[bottom - 1][col] = OUTLINE + (255,)
    for row in range(top, bottom):
        px[row][left] = OUTLINE + (255,)
        px[row][right - 1] = OUTLINE + (255,)
    # The rig: a red triangle standing on the ground beside the column.
    base_left, base_right = right + pad, size - pad
    apex = pad
    for row in range(apex, top + 1):
        t = (row - apex) / max(1, top - apex)
        half = (base_right - base_left) / 2 * t
        centre = (base_left + base_right) / 2
        for col in range(int(centre - half), int(centre + half) + 1):
            if 0 <= col < size:
                px[row][col] = RIG + (255,)
    for col in range(base_left - pad, size):
        if 0 <= col < size:
            px[top][col] = OUTLINE + (255,)
    return px


def bmp_image(px):
    """An icon image in BMP form: header, BGRA rows bottom-up, then the AND mask."""
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(b for (r, g, b_, a) in reversed_row for b in (b_, g, r, a))
                    for reversed_row in reversed(px))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row)
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + rows + bytes(mask)


def png_image(px):
    size = len(px)
    raw = b''.join(b'\x00' + bytes(c for p in row for c in p) for row in px)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    sizes = [16, 24, 32, 48, 256]
    images = [png_image(draw(s)) if s == 256 else bmp_image(draw(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tjvx.ico')
    with open(path, 'wb') as f:
        f.write(out)
    print(f'wrote {path} ({len(out)} bytes)')


if __name__ == '__main__':
    main()
