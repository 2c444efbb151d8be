"""Builds the sprite sheet tumbla.bmp: 350 x 650, 8 bits, the 6 x 6 x 6 colour
cube, five fruit tiles, the empty cell and five explosion frames."""

import os
import struct
import sys

import artlib
import explosion

WIDTH, HEIGHT = 350, 650
ROW_BYTES = 352  # 350 indices padded to a 4-byte boundary
IMAGE_BYTES = ROW_BYTES * HEIGHT
FRUIT = ("banana", "apple", "cherries", "pear", "orange")  # kinds 0..4
TILE_W, TILE_H = 103, 105
FRAME_W, FRAME_H = 55, 50

# Every drawn pixel must lie in this box (inclusive); the rest stays white.
DRAWN_LEFT, DRAWN_RIGHT, DRAWN_TOP, DRAWN_BOTTOM = 76, 335, 10, 599


def tile_origin(kind):
    return 225, 65 + 110 * kind


def frame_origin(frame):
    return 62 + 55 * frame, 8


EMPTY_ORIGIN = (0, 100)


def build_indices(art_dir):
    sheet = [[artlib.WHITE] * WIDTH for _ in range(HEIGHT)]

    def paste(rows, left, top):
        for dy, row in enumerate(rows):
            for dx, index in enumerate(row):
                if index != artlib.WHITE:
                    sheet[top + dy][left + dx] = index

    for kind, name in enumerate(FRUIT):
        image = artlib.render_svg_file(os.path.join(art_dir, name + ".svg"), TILE_W, TILE_H)
        paste(artlib.quantise_on_white(image), *tile_origin(kind))
    for frame in range(5):
        image = artlib.render_svg(explosion.frame_svg(frame), FRAME_W, FRAME_H)
        paste(artlib.quantise_on_white(image), *frame_origin(frame))
    return sheet


def check_layout(sheet):
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if sheet[y][x] != artlib.WHITE:
                assert DRAWN_LEFT <= x <= DRAWN_RIGHT and DRAWN_TOP <= y <= DRAWN_BOTTOM, (
                    f"drawn pixel outside the allowed box at ({x}, {y})"
                )
    ex, ey = EMPTY_ORIGIN
    for y in range(ey, ey + TILE_H):
        assert all(i == artlib.WHITE for i in sheet[y][ex : ex + TILE_W]), "empty cell not white"
    # Each region must actually show something.
    for kind in range(5):
        left, top = tile_origin(kind)
        assert any(sheet[y][x] != artlib.WHITE for y in range(top, top + TILE_H) for x in range(left, left + TILE_W))
    for frame in range(5):
        left, top = frame_origin(frame)
        assert any(sheet[y][x] != artlib.WHITE for y in range(top, top + FRAME_H) for x in range(left, left + FRAME_W))
    assert all(i < 216 for row in sheet for i in row), "only cube colours are drawn"


def bmp_bytes(sheet):
    table = artlib.colour_table()
    assert table[artlib.WHITE] == (255, 255, 255)
    info = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        WIDTH,
        HEIGHT,  # positive: bottom row first
        1,  # planes
        8,  # bits per pixel
        0,  # uncompressed
        IMAGE_BYTES,
        0,
        0,  # resolution
        0,  # colours used: all 256
        0,  # colours important
    )
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    pixels = bytearray()
    for row in reversed(sheet):
        pixels += bytes(row) + b"\0" * (ROW_BYTES - WIDTH)
    offset = 14 + len(info) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    data = file_header + info + colours + bytes(pixels)

    assert len(info) == 40 and len(colours) == 1024 and len(pixels) == 228800
    assert len(data) - 14 == 229864, "the resource is the file without its file header"
    return data


def check_bmp(data):
    """Reads the written bytes back field by field."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data) == 229878 and offset == 1078
    fields = struct.unpack_from("<IiiHHIIiiII", data, 14)
    assert fields == (40, 350, 650, 1, 8, 0, 228800, 0, 0, 0, 0), fields
    for i in range(256):
        b, g, r, zero = data[54 + 4 * i : 58 + 4 * i]
        if i < 216:
            assert (r, g, b) == (51 * ((i // 6) % 6), 51 * (i // 36), 51 * (i % 6))
        else:
            assert (r, g, b) == (0, 0, 0)
        assert zero == 0
    assert data[54 + 4 * 215 : 58 + 4 * 215] == b"\xff\xff\xff\x00"
    for y in range(HEIGHT):
        assert data[offset + y * ROW_BYTES + 350 : offset + (y + 1) * ROW_BYTES] == b"\0\0"


def main():
    art_dir = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(art_dir, "..")
    sheet = build_indices(art_dir)
    check_layout(sheet)
    data = bmp_bytes(sheet)
    check_bmp(data)
    with open(os.path.join(out_dir, "tumbla.bmp"), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
