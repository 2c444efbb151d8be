"""Builds tumbla.ico (one 32 x 32 picture in 16 colours with a transparency
mask) and tumbla-256.png from icon.svg."""

import os
import struct
import sys

from PIL import Image

import artlib

SIZE = 32

# The classic 16-colour palette, so the icon looks the same on any display.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def nearest16(rgb):
    return min(range(16), key=lambda i: (sum((a - b) ** 2 for a, b in zip(rgb, PALETTE16[i])), i))


def icon_pixels(image):
    """Palette index and opacity of each pixel, top row first."""
    assert image.size == (SIZE, SIZE)
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            r, g, b, a = image.getpixel((x, y))
            if a < 128:
                row.append((0, False))
            else:
                # Undo the premultiplication of edge pixels before matching.
                row.append((nearest16((r, g, b)), True))
        rows.append(row)
    return rows


def ico_bytes(rows):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom row first
        for x in range(0, SIZE, 2):
            xor.append(row[x][0] << 4 | row[x + 1][0])
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (0 if row[x][1] else 1)  # 1 = transparent
        mask += struct.pack(">I", bits)
    assert len(xor) == SIZE * SIZE // 2 and len(mask) == SIZE * 4

    header = struct.pack(
        "<IiiHHIIiiII",
        40,
        SIZE,
        2 * SIZE,  # the colour picture and the mask stacked
        1,
        4,
        0,
        len(xor) + len(mask),
        0,
        0,
        0,  # colours used: all 16
        0,
    )
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE16)
    image = header + colours + bytes(xor) + bytes(mask)
    assert len(image) == 40 + 64 + 512 + 128

    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


def check_ico(data):
    assert struct.unpack_from("<HHH", data, 0) == (0, 1, 1)
    w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    assert (w, h, colours, planes, bits, offset) == (32, 32, 16, 1, 4, 22)
    assert size == len(data) - 22 == 744
    fields = struct.unpack_from("<IiiHHIIiiII", data, 22)
    assert fields == (40, 32, 64, 1, 4, 0, 640, 0, 0, 0, 0), fields


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..")
    svg = os.path.join(here, "icon.svg")

    rows = icon_pixels(artlib.render_svg_file(svg, SIZE, SIZE))
    opaque = sum(op for row in rows for _, op in row)
    assert 150 < opaque < 700, f"the banana should cover part of the icon, not {opaque} pixels"
    assert any(i == 11 for row in rows for i, op in row if op), "no yellow in the icon"
    data = ico_bytes(rows)
    check_ico(data)
    with open(os.path.join(out_dir, "tumbla.ico"), "wb") as f:
        f.write(data)

    big = artlib.render_svg_file(svg, 256, 256)
    # Saved by Pillow without metadata, so the bytes depend only on the pixels.
    big.save(os.path.join(out_dir, "tumbla-256.png"), optimize=False)


if __name__ == "__main__":
    main()
