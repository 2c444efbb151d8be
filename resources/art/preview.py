"""Shows the sheet the way the board does: each region shrunk to a 30 x 40
cell by area averaging, laid out as a sample board and scaled up 3x.

    /usr/bin/python3 preview.py [sheet.bmp] [out.png]

The output is for looking at only and is not kept in the repository."""

import os
import struct
import sys

from PIL import Image

import sheet as layout

CELL_W, CELL_H, ZOOM = 30, 40, 3


def load_sheet(path):
    # Read the BMP by hand so that the preview checks the bytes the program
    # will get, not what an image library makes of them.
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    table = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i]) for i in range(256)]
    row_bytes = (width + 3) & ~3
    pixels = []
    for y in range(height):
        start = offset + (height - 1 - y) * row_bytes
        pixels.extend(table[i] for i in data[start : start + width])
    image = Image.new("RGB", (width, height))
    image.putdata(pixels)
    return image


def cell(sheet, left, top, width, height):
    return sheet.crop((left, top, left + width, top + height)).resize((CELL_W, CELL_H), Image.BOX)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tumbla.bmp")
    out = sys.argv[2] if len(sys.argv) > 2 else "/tmp/tumbla-preview.png"
    sheet = load_sheet(src)
    tiles = [cell(sheet, *layout.tile_origin(k), layout.TILE_W, layout.TILE_H) for k in range(5)]
    tiles.append(cell(sheet, *layout.EMPTY_ORIGIN, layout.TILE_W, layout.TILE_H))
    frames = [cell(sheet, *layout.frame_origin(f), layout.FRAME_W, layout.FRAME_H) for f in range(5)]

    # A little board: a few rows of mixed fruit with some neighbours alike,
    # then the five explosion frames in a row next to an empty cell.
    rows = [
        [0, 1, 2, 3, 4, 0, 0, 1, 2, 3, 4, 4],
        [1, 2, 3, 4, 0, 1, 2, 2, 3, 4, 0, 1],
        [2, 2, 4, 4, 3, 3, 0, 1, 1, 1, 2, 3],
        [3, 4, 0, 1, 2, 4, 4, 3, 0, 0, 5, 5],
    ]
    board = Image.new("RGB", (12 * CELL_W, 5 * CELL_H), (255, 255, 255))
    for y, row in enumerate(rows):
        for x, kind in enumerate(row):
            board.paste(tiles[kind], (x * CELL_W, y * CELL_H))
    for f, frame in enumerate(frames):
        board.paste(frame, (f * CELL_W, 4 * CELL_H))
    board.paste(tiles[5], (5 * CELL_W, 4 * CELL_H))
    board = board.resize((board.width * ZOOM, board.height * ZOOM), Image.NEAREST)
    board.save(out)
    sheet.save(os.path.splitext(out)[0] + "-sheet.png")
    print(out)


if __name__ == "__main__":
    main()
