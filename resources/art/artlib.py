"""Shared helpers for the art generators: the sheet's colour cube, SVG
rendering and quantising to the cube.

Only the Python standard library, Pillow and rsvg-convert are used, so the
output depends on nothing but these sources."""

import io
import subprocess

from PIL import Image

LEVELS = (0, 51, 102, 153, 204, 255)
WHITE = 215


def cube_index(r_level, g_level, b_level):
    # Index order of the sheet's colour table: blue varies fastest, then red,
    # then green.
    return 36 * g_level + 6 * r_level + b_level


def colour_table():
    """The 256 colour-table entries as (red, green, blue)."""
    table = []
    for i in range(256):
        if i < 216:
            table.append((51 * ((i // 6) % 6), 51 * (i // 36), 51 * (i % 6)))
        else:
            table.append((0, 0, 0))
    return table


def nearest_level(v):
    return (v + 25) // 51


def render_svg(svg, width, height):
    """Renders SVG text to an RGBA image of exactly width x height."""
    png = subprocess.run(
        ["rsvg-convert", "--width", str(width), "--height", str(height), "--format", "png"],
        input=svg.encode("utf-8"),
        stdout=subprocess.PIPE,
        check=True,
    ).stdout
    image = Image.open(io.BytesIO(png))
    image.load()
    image = image.convert("RGBA")
    assert image.size == (width, height), image.size
    return image


def render_svg_file(path, width, height):
    with open(path, encoding="utf-8") as f:
        return render_svg(f.read(), width, height)


def quantise_on_white(image):
    """Flattens an RGBA image onto white and maps every pixel to the nearest
    cube colour, without dithering so flat fills and outlines stay crisp.
    Returns rows of palette indices."""
    flat = Image.new("RGBA", image.size, (255, 255, 255, 255))
    flat.alpha_composite(image)
    flat = flat.convert("RGB")
    width, height = flat.size
    data = list(flat.getdata())
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b = data[y * width + x]
            row.append(cube_index(nearest_level(r), nearest_level(g), nearest_level(b)))
        rows.append(row)
    return rows


def indices_to_image(rows, table):
    height = len(rows)
    width = len(rows[0])
    image = Image.new("RGB", (width, height))
    image.putdata([table[i] for row in rows for i in row])
    return image
