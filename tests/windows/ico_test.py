#!/usr/bin/env python3
"""The Windows icon holds every desktop icon picture, pixel for pixel, in
the form Windows reads (bitmaps below 256 pixels, PNG at 256), and a picture
that cannot be an icon image is refused.
Usage: ico_test.py SOURCE-ROOT"""
import os
import struct
import subprocess
import sys
import tempfile

from PIL import Image

root = sys.argv[1]
script = os.path.join(root, "tools/assets/make_ico.py")
sizes = [16, 24, 32, 48, 64, 128, 256]
pictures = [os.path.join(root, f"desktop/icons/hicolor/{s}x{s}/apps/korvin4.png") for s in sizes]
faults = []

with tempfile.TemporaryDirectory() as folder:
    icon = os.path.join(folder, "korvin4.ico")
    subprocess.run([sys.executable, script, icon] + list(reversed(pictures)), check=True)
    data = open(icon, "rb").read()
    again = os.path.join(folder, "again.ico")
    subprocess.run([sys.executable, script, again] + pictures, check=True)
    if open(again, "rb").read() != data:
        faults.append("the same pictures gave other bytes")

    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1, len(sizes)):
        faults.append(f"header {reserved} {kind} {count}")
    for i, size in enumerate(sizes):  # smallest first
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if (w or 256, h or 256, planes, bits) != (size, size, 1, 32) or offset + length > len(data):
            faults.append(f"entry {i}: {w}x{h} planes {planes} bits {bits}")
            continue
        image = data[offset:offset + length]
        is_png = image.startswith(b"\x89PNG")
        if is_png != (size == 256):
            faults.append(f"{size} px stored as {'PNG' if is_png else 'bitmap'}")
        if not is_png and struct.unpack_from("<Ii", image, 0) != (40, size):
            faults.append(f"{size} px: bitmap header")

    with Image.open(icon) as read:
        for size, picture in zip(sizes, pictures):
            read.size = (size, size)
            got = read.copy().convert("RGBA").tobytes()
            want = Image.open(picture).convert("RGBA").tobytes()
            if got != want:
                faults.append(f"{size} px: the pixels differ from {picture}")

    oblong = os.path.join(folder, "oblong.png")
    Image.new("RGBA", (32, 16)).save(oblong)
    refused = subprocess.run([sys.executable, script, os.path.join(folder, "bad.ico"), oblong],
                             capture_output=True, text=True)
    if refused.returncode == 0 or "square" not in refused.stderr:
        faults.append("an oblong picture was not refused: " + refused.stderr)

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
