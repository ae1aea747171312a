#!/usr/bin/env python3
"""Write the Windows icon file of Korvin 4 from its desktop icon pictures.

    python3 tools/assets/make_ico.py OUT.ico ICON.png [ICON.png ...]

Each picture (square, 16 to 256 pixels) becomes one image of the icon: the
256-pixel one is kept as PNG, as Windows expects at that size; the smaller
ones are stored as 32-bit bitmaps with their alpha, which every Windows
version reads. The same pictures always give the same bytes.
Needs Python 3 and Pillow (Debian: python3-pil).
"""

import struct
import sys

from PIL import Image


def bitmap_image(picture):
    """The icon image of a picture as a bitmap: header, pixels, mask."""
    size = picture.width
    rgba = picture.convert("RGBA")
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):  # bottom row first
        row = bytearray()
        for x in range(size):
            r, g, b, a = rgba.getpixel((x, y))
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    # The mask is unused where there is alpha, but must be there: one bit a
    # pixel, rows padded to 32 bits, all clear.
    mask_row = bytes(((size + 31) // 32) * 4)
    return header + b"".join(rows) + mask_row * size


def icon_file(paths):
    images = []
    for path in paths:
        with Image.open(path) as picture:
            picture.load()
            if picture.width != picture.height or not 16 <= picture.width <= 256:
                sys.exit(f"{path}: an icon picture is square, 16 to 256 pixels")
            size = picture.width
            if size == 256:
                with open(path, "rb") as f:
                    data = f.read()
            else:
                data = bitmap_image(picture)
        images.append((size, data))
    images.sort(key=lambda image: image[0])
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = size % 256  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    data = icon_file(sys.argv[2:])
    with open(sys.argv[1], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
