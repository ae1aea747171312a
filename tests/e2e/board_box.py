#!/usr/bin/python3
"""Finds the chess board in a screenshot: prints "LEFT TOP WIDTH HEIGHT" of
the box that the board's wood covers (its light and dark squares), or
nothing when there is none. Usage: board_box.py SCREENSHOT.png [X Y W H]
to look only inside that part of the screenshot."""
import sys

from PIL import Image

# The average colours of the light and dark square pictures, and how far a
# pixel of them may stray.
LIGHT = (237, 215, 177)
DARK = (175, 128, 86)
TOLERANCE = 24


def is_wood(pixel):
    return any(all(abs(pixel[i] - c[i]) <= TOLERANCE for i in range(3)) for c in (LIGHT, DARK))


def main():
    image = Image.open(sys.argv[1]).convert("RGB")
    left, top, width, height = 0, 0, image.width, image.height
    if len(sys.argv) == 6:
        left, top, width, height = (int(v) for v in sys.argv[2:6])
    pixels = image.load()
    # A row or column of the board is wood over a good part of its length:
    # at least a third of the woodiest one (pieces cover the rest).
    row_wood = {y: sum(is_wood(pixels[x, y]) for x in range(left, left + width))
                for y in range(top, top + height)}
    column_wood = {x: sum(is_wood(pixels[x, y]) for y in range(top, top + height))
                   for x in range(left, left + width)}
    rows = [y for y, n in row_wood.items() if n >= max(8, max(row_wood.values()) // 3)]
    columns = [x for x, n in column_wood.items() if n >= max(8, max(column_wood.values()) // 3)]
    if not rows or not columns:
        return
    print(columns[0], rows[0], columns[-1] - columns[0] + 1, rows[-1] - rows[0] + 1)


main()
