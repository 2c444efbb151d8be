"""The five explosion frames as SVG text.

Like the fruit, each frame is drawn in board-cell units (30 x 40) and
stretched to its 55 x 50 region, so what is drawn here is what a cell shows.
The puffs are placed by a fixed-seed generator, so the frames never change
unless this file does."""

import math
import random

HEAD = (
    '<svg xmlns="http://www.w3.org/2000/svg" width="55" height="50" '
    'viewBox="0 0 30 40" preserveAspectRatio="none">\n'
)

# The cloud's middle. Frame 0 is kept clear of the region's left edge and
# every frame clear of its top rows: the sheet keeps a white margin there.
CX, CY = 16.0, 21.0


def _cloud(rng, count, spread, radius, jitter):
    """Overlapping puffs around the middle: (x, y, r)."""
    puffs = []
    for i in range(count):
        angle = 2 * math.pi * i / count + rng.uniform(-0.4, 0.4)
        dist = spread * rng.uniform(1 - jitter, 1.0)
        r = radius * rng.uniform(1 - jitter, 1.0)
        puffs.append((CX + dist * math.cos(angle), CY + 1.25 * dist * math.sin(angle), r))
    return puffs


def _puffs_svg(puffs, fill, edge, edge_width):
    # Outlines first, fills after: the overlapping puffs merge into one
    # cloud with a single dark rim.
    out = [f'<g fill="{edge}">']
    for x, y, r in puffs:
        out.append(f'  <circle cx="{x:.2f}" cy="{y:.2f}" r="{r + edge_width:.2f}"/>')
    out.append("</g>")
    out.append(f'<g fill="{fill}">')
    for x, y, r in puffs:
        out.append(f'  <circle cx="{x:.2f}" cy="{y:.2f}" r="{r:.2f}"/>')
    out.append("</g>")
    return out


def _specks(rng, count, rx, ry, size, fill, ragged):
    out = [f'<g fill="{fill}">']
    for i in range(count):
        angle = 2 * math.pi * i / count + rng.uniform(-0.15, 0.15)
        k = rng.uniform(1 - ragged, 1.0)
        r = size * rng.uniform(0.7, 1.0)
        out.append(
            f'  <circle cx="{CX + k * rx * math.cos(angle):.2f}" '
            f'cy="{CY + k * ry * math.sin(angle):.2f}" r="{r:.2f}"/>'
        )
    out.append("</g>")
    return out


def frame_svg(frame):
    rng = random.Random(1000 + frame)
    body = []
    if frame == 0:
        # A small dense cloud just starting.
        body += _puffs_svg([(CX, CY, 5.0)] + _cloud(rng, 6, 3.8, 3.0, 0.2), "#666666", "#333333", 0.9)
        body += _puffs_svg(_cloud(rng, 4, 1.4, 2.0, 0.3), "#999999", "#999999", 0)
    elif frame == 1:
        # Grown: a big round cloud with a light core.
        body += _puffs_svg([(CX, CY, 8.0)] + _cloud(rng, 10, 8.0, 4.0, 0.15), "#666666", "#333333", 0.9)
        body += _puffs_svg(_cloud(rng, 6, 3.4, 3.6, 0.3), "#999999", "#999999", 0)
        body += _puffs_svg(_cloud(rng, 3, 1.4, 2.0, 0.3), "#CCCCCC", "#CCCCCC", 0)
    elif frame == 2:
        # Largest and ragged: separate puffs around a thinning middle.
        body += _puffs_svg(_cloud(rng, 12, 8.8, 3.4, 0.4), "#999999", "#333333", 0.8)
        body += _puffs_svg(_cloud(rng, 5, 3.6, 2.8, 0.4), "#CCCCCC", "#666666", 0.7)
        body += _specks(rng, 12, 12.0, 12.6, 1.0, "#333333", 0.2)
    elif frame == 3:
        # Breaking up: small puffs on a ring, the middle almost gone.
        body += _puffs_svg(_cloud(rng, 12, 10.0, 2.0, 0.4), "#999999", "#333333", 0.7)
        body += _specks(rng, 16, 12.2, 13.4, 1.0, "#333333", 0.2)
        body += _specks(rng, 5, 3.4, 3.4, 0.8, "#666666", 0.5)
    else:
        # Only a ring of specks remains.
        body += _specks(rng, 22, 12.2, 14.6, 1.0, "#666666", 0.12)
        body += _specks(rng, 11, 9.6, 11.2, 0.7, "#999999", 0.2)
    return HEAD + "\n".join(body) + "\n</svg>\n"
