#!/usr/bin/env python3
"""Generate the pictures that ship beside Korvin 4, and its desktop icons.

One command regenerates everything, byte for byte the same on every run:

    python3 tools/assets/make_assets.py --out assets --icons desktop/icons

another checks that the committed files are exactly what it makes:

    python3 tools/assets/make_assets.py --check --out assets --icons desktop/icons

and a whole board in the starting position, drawn the way the program draws
it, can be rendered for inspection:

    python3 tools/assets/make_assets.py --preview board.png [--size 512]

Needs Python 3 and Pillow (Debian: python3-pil) and the DejaVu fonts
(Debian: fonts-dejavu-core). The pieces are drawn in pieces.py.
"""

import argparse
import filecmp
import functools
import math
import os
import random
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFilter, ImageFont, features
from PIL import __version__ as PILLOW_VERSION

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pieces  # noqa: E402  (the piece set beside this file)
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "texts"))
import po_file  # noqa: E402  (the catalogues' reader, for the banners' words)

PO_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "po")

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SERIF_BOLD = os.path.join(FONT_DIR, "DejaVuSerif-Bold.ttf")

# The bytes of the files depend on these libraries (Debian 12's versions):
# Pillow's drawing and resampling, zlib for PNG and libjpeg-turbo for JPEG.
PINNED = {"Pillow": "9.4.0", "zlib": "1.2.13", "libjpeg-turbo": "2.1.5"}

WIDTH_PERCENT = pieces.WIDTH_PERCENT
HEIGHT_PERCENT = pieces.HEIGHT_PERCENT

LIGHT_WOOD = (238, 216, 178)
DARK_WOOD = (176, 128, 86)
SQUARE_SIZE = 512       # square pictures: enough for 256-pixel squares at x2
GOLD = (214, 178, 112)


def library_versions():
    return {"Pillow": PILLOW_VERSION, "zlib": features.version("zlib"),
            "libjpeg-turbo": features.version("libjpeg_turbo")}


# ---------------------------------------------------------------- helpers

def vertical_gradient(size, top, bottom):
    """An RGB picture that fades from colour top to colour bottom."""
    w, h = size
    column = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        column.putpixel((0, y), tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom)))
    return column.resize((w, h), Image.NEAREST)


def layer(base, colour, mask):
    """Paint colour (a tuple or a picture) over the RGBA picture base through mask."""
    if isinstance(colour, tuple):
        colour = Image.new("RGB", base.size, colour)
    over = colour.convert("RGBA")
    over.putalpha(mask)
    return Image.alpha_composite(base, over)


# ---------------------------------------------------------------- squares

def wood_texture(base, seed, size=SQUARE_SIZE, strength=1.0):
    """A square wood-grain texture around the colour base."""
    rng = random.Random(seed)

    def smooth_noise(cols, rows):
        small = Image.new("L", (cols, rows))
        small.putdata([rng.randrange(256) for _ in range(cols * rows)])
        return small.resize((size, size), Image.BICUBIC)

    scale = size / 256.0               # the grain was designed on 256 pixels
    warp = smooth_noise(6, 3)          # slow bending of the grain lines
    streak = smooth_noise(48, 4)       # fine fibres running along the grain
    blotch = smooth_noise(5, 5)        # gentle colour variation
    wp, sp, bp = warp.load(), streak.load(), blotch.load()
    ring_freq = rng.uniform(0.11, 0.14)
    phase = rng.uniform(0, 2 * math.pi)
    img = Image.new("RGB", (size, size))
    px = img.load()
    for y in range(size):
        for x in range(size):
            t = x / scale * ring_freq + (wp[x, y] / 255.0 - 0.5) * 9.0 + phase
            ring = math.sin(t) * 0.5 + math.sin(2.3 * t + 1.7) * 0.2
            ring = max(-1.0, min(1.0, ring)) ** 3
            fibre = (sp[x, y] / 255.0 - 0.5)
            tone = (bp[x, y] / 255.0 - 0.5)
            k = 1.0 + strength * (0.045 * ring + 0.05 * fibre + 0.04 * tone)
            px[x, y] = tuple(max(0, min(255, int(round(c * k)))) for c in base)
    return img.filter(ImageFilter.GaussianBlur(0.6 * scale))


# ---------------------------------------------------------------- board

def draw_board(squares, figures, size, board=None, black_view=False):
    """Draw the 8 x 8 board the way the program does (square size = size // 8),
    every picture reduced by area averaging as the program does."""
    s = size // 8
    canvas = Image.new("RGB", (size, size), (0, 0, 0))
    if board is None:
        board = starting_board()
    light = squares[0].resize((s, s), Image.BOX)
    dark = squares[1].resize((s, s), Image.BOX)
    cache = {}
    for i in range(8):
        for j in range(8):
            if not black_view:
                left, top = j * s, (7 - i) * s
            else:
                left, top = (7 - j) * s, i * s
            canvas.paste(dark if (i + j) % 2 == 0 else light, (left, top))
            piece = board[i][j]
            if piece == 7:
                continue
            kind = piece if piece < 7 else piece - 8
            pw = s * WIDTH_PERCENT[kind] // 100
            ph = s * HEIGHT_PERCENT[kind] // 100
            if piece not in cache:
                cache[piece] = figures[piece].resize((pw, ph), Image.BOX)
            im = cache[piece]
            x = left + int((s - pw) / 2)      # halving truncates toward zero
            canvas.paste(im, (x, top + s - ph), im)
    return canvas


def starting_board():
    """Piece codes of the starting position by [rank index][file index]."""
    back = [4, 2, 3, 5, 6, 3, 2, 4]
    rows = [back, [1] * 8] + [[7] * 8 for _ in range(4)] + [[9] * 8, [p + 8 for p in back]]
    return rows


# ---------------------------------------------------------------- banners

def ornament(height, colour):
    """The king's shape in one colour, height pixels high, on transparency."""
    mask = pieces.silhouette(6, height)
    img = Image.new("RGBA", mask.size, colour + (255,))
    img.putalpha(mask)
    return img


def N_(word):
    """Marks a word for the catalogues (po/korvin4.pot); its translations
    are read from po/*.po."""
    return word


BANNER_WORDS = (N_("Checkmate"), N_("Stalemate"), N_("Draw"))


def banner_font(limit, scale, words):
    """The largest bold serif font (at most 34 px) that fits every banner word
    of one language."""
    size = 34
    while size > 12:
        font = ImageFont.truetype(SERIF_BOLD, size * scale)
        if all(font.getbbox(word)[2] - font.getbbox(word)[0] <= limit for word in words):
            return font
        size -= 1
    return ImageFont.truetype(SERIF_BOLD, size * scale)


def translated_banner_words(po_dir):
    """(language, its three banner words) for every catalogue that translates
    all three, in the order of po/LINGUAS."""
    found = []
    for language in po_file.linguas(po_dir):
        words = po_file.translations(os.path.join(po_dir, language + ".po"))
        if all(word in words for word in BANNER_WORDS):
            found.append((language, tuple(words[word] for word in BANNER_WORDS)))
    return found


def banner(word, scale=1, words=BANNER_WORDS):
    """A 315 x 68 result banner (times scale): dark panel, gold frame, the
    word in cream between two kings, in the size that fits all of `words`
    (the three banners of one language)."""
    w, h = 315 * scale, 68 * scale
    img = vertical_gradient((w, h), (72, 52, 37), (32, 23, 17)).convert("RGBA")
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), outline=(18, 12, 9), width=scale)
    d.rounded_rectangle((4 * scale, 4 * scale, w - 1 - 4 * scale, h - 1 - 4 * scale),
                        radius=9 * scale, outline=GOLD, width=2 * scale)
    d.rounded_rectangle((8 * scale, 8 * scale, w - 1 - 8 * scale, h - 1 - 8 * scale),
                        radius=6 * scale, outline=(122, 94, 62), width=scale)
    king = ornament(34 * scale, GOLD)
    kw = king.size[0]
    img.alpha_composite(king, (20 * scale, (h - king.size[1]) // 2))
    img.alpha_composite(king.transpose(Image.FLIP_LEFT_RIGHT), (w - 20 * scale - kw, (h - king.size[1]) // 2))
    font = banner_font(w - 2 * (20 * scale + kw + 12 * scale), scale, words)
    box = d.textbbox((0, 0), word, font=font)
    tw, th = box[2] - box[0], box[3] - box[1]
    tx = (w - tw) // 2 - box[0]
    ty = (h - th) // 2 - box[1]
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((tx + 2 * scale, ty + 2 * scale), word, font=font, fill=(0, 0, 0, 180))
    img = Image.alpha_composite(img, shadow.filter(ImageFilter.GaussianBlur(1.5 * scale)))
    ImageDraw.Draw(img).text((tx, ty), word, font=font, fill=(250, 240, 218))
    return img.convert("RGB")


# ---------------------------------------------------------------- options picture

def options_picture(squares, figures, scale=1):
    """The 320 x 120 picture of the Options dialog (times scale): the title
    over a rank of pieces."""
    w, h, sq = 320 * scale, 120 * scale, 40 * scale
    img = vertical_gradient((w, h), (72, 52, 37), (30, 22, 16))
    back = [4, 2, 3, 5, 6, 3, 2, 4]
    board = [back] + [[7] * 8 for _ in range(7)]
    strip = draw_board(squares, figures, 8 * sq, board).crop((0, 7 * sq, 8 * sq, 8 * sq))
    img.paste(strip, (0, h - sq))
    d = ImageDraw.Draw(img)
    d.line((0, h - sq - 2 * scale, w, h - sq - 2 * scale), fill=GOLD, width=2 * scale)
    font = ImageFont.truetype(SERIF_BOLD, 40 * scale)
    title = "Korvin 4"
    box = d.textbbox((0, 0), title, font=font)
    tx = (w - (box[2] - box[0])) // 2 - box[0]
    ty = (h - sq - 2 * scale - (box[3] - box[1])) // 2 - box[1]
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((tx + 2 * scale, ty + 3 * scale), title, font=font, fill=(0, 0, 0, 190))
    img = Image.alpha_composite(img.convert("RGBA"), shadow.filter(ImageFilter.GaussianBlur(2 * scale)))
    ImageDraw.Draw(img).text((tx, ty), title, font=font, fill=(244, 222, 166))
    king = ornament(36 * scale, GOLD)
    y = (h - sq - 2 * scale - king.size[1]) // 2
    img.alpha_composite(king, (18 * scale, y))
    img.alpha_composite(king.transpose(Image.FLIP_LEFT_RIGHT), (w - 18 * scale - king.size[0], y))
    return img.convert("RGB")


# ---------------------------------------------------------------- icons

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


@functools.lru_cache(maxsize=None)
def icon_knight():
    """The White knight for the icons, drawn once, cropped to its ink."""
    knight = pieces.piece_picture(2, False, 1024)
    return knight.crop(knight.getbbox())


def icon(size, squares):
    """The application icon: a White knight on a rounded dark wood tile."""
    big = 1024
    tile = squares[1].resize((big, big), Image.BICUBIC).convert("RGBA")
    mask = Image.new("L", (big, big), 0)
    radius = big // 6 if size >= 32 else big // 10
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, big - 1, big - 1), radius=radius, fill=255)
    out = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    out.paste(tile, (0, 0), mask)
    border = Image.new("L", (big, big), 0)
    ImageDraw.Draw(border).rounded_rectangle((0, 0, big - 1, big - 1), radius=radius,
                                             outline=255, width=big // 40)
    out = layer(out, (74, 50, 32), border)
    knight = icon_knight()
    scale = 0.80 if size >= 32 else 0.92
    kh = int(big * scale)
    kw = kh * knight.size[0] // knight.size[1]
    knight = knight.resize((kw, kh), Image.LANCZOS)
    out.alpha_composite(knight, ((big - kw) // 2, (big - kh) // 2))
    return out.resize((size, size), Image.LANCZOS)


def icon_svg():
    """The scalable icon: the knight's own drawing on a rounded wood tile."""
    parts = pieces.svg_parts(2)
    # The knight spans about x -330..300 and y 110..950 of its cell; fit it
    # to 80 % of the 256-unit tile, centred.
    scale = 0.80 * 256 / 850.0
    transform = "translate(%.2f %.2f) scale(%.5f)" % (128 + 15 * scale, 128 - 530 * scale, scale)
    light = "#%02x%02x%02x" % pieces.WHITE_LIGHT
    shade = "#%02x%02x%02x" % pieces.WHITE_SHADE
    return """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="wood" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#bb8b5f"/>
      <stop offset="1" stop-color="#a3744b"/>
    </linearGradient>
    <linearGradient id="ivory" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="%s"/>
      <stop offset="1" stop-color="%s"/>
    </linearGradient>
  </defs>
  <rect x="3" y="3" width="250" height="250" rx="42" fill="url(#wood)" stroke="#4a3220" stroke-width="6"/>
  <g transform="%s">
    %s
  </g>
</svg>
""" % (light, shade, transform, "\n    ".join(parts))


# ---------------------------------------------------------------- main

def save(img, path):
    """Write a picture deterministically (no timestamps, fixed quality)."""
    if path.endswith(".jpg"):
        img.convert("RGB").save(path, "JPEG", quality=92, optimize=True)
    else:
        img.save(path, "PNG", optimize=True)
    print("wrote", path)


def load_pictures(directory):
    """Read the square and piece pictures back from a directory of shipped files."""
    squares = tuple(Image.open(os.path.join(directory, n)).convert("RGB")
                    for n in ("light.jpg", "dark.jpg"))
    figures = {}
    for code in list(range(1, 7)) + list(range(9, 15)):
        figures[code] = Image.open(os.path.join(directory, "fig%d.png" % code)).convert("RGBA")
    return squares, figures


def write_pictures(out, squares, figures, po_dir=PO_DIR):
    """Every picture the program loads, and the x2 companions of those it
    draws at their own size. The banners come in every language of the
    catalogues too, beside the English ones: "checkmate-de.png",
    "checkmate-de@2x.png"."""
    os.makedirs(out, exist_ok=True)
    save(squares[0], os.path.join(out, "light.jpg"))
    save(squares[1], os.path.join(out, "dark.jpg"))
    for code, im in sorted(figures.items()):
        save(im, os.path.join(out, "fig%d.png" % code))
    for word in BANNER_WORDS:
        save(banner(word), os.path.join(out, word.lower() + ".png"))
        save(banner(word, 2), os.path.join(out, word.lower() + "@2x.png"))
    for language, words in translated_banner_words(po_dir):
        for english, word in zip(BANNER_WORDS, words):
            name = "%s-%s" % (english.lower(), language)
            save(banner(word, 1, words), os.path.join(out, name + ".png"))
            save(banner(word, 2, words), os.path.join(out, name + "@2x.png"))
    save(options_picture(squares, figures), os.path.join(out, "chess.jpg"))
    save(options_picture(squares, figures, 2), os.path.join(out, "chess@2x.jpg"))


def write_icons(directory, squares):
    for n in ICON_SIZES:
        d = os.path.join(directory, "hicolor", "%dx%d" % (n, n), "apps")
        os.makedirs(d, exist_ok=True)
        save(icon(n, squares), os.path.join(d, "korvin4.png"))
    d = os.path.join(directory, "hicolor", "scalable", "apps")
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "korvin4.svg"), "w", encoding="utf-8", newline="\n") as out:
        out.write(icon_svg())
    print("wrote", os.path.join(d, "korvin4.svg"))


def differences(made, shipped):
    """Files under `made` whose bytes differ from (or are missing in) `shipped`."""
    found = []
    for root, _, files in os.walk(made):
        for name in sorted(files):
            path = os.path.join(root, name)
            other = os.path.join(shipped, os.path.relpath(path, made))
            if not os.path.isfile(other) or not filecmp.cmp(path, other, shallow=False):
                found.append(os.path.relpath(other))
    return found


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", help="directory for the program's pictures (e.g. assets)")
    ap.add_argument("--icons", help="directory for the desktop icons (e.g. desktop/icons)")
    ap.add_argument("--check", action="store_true",
                    help="make everything in a scratch folder and compare it with --out and --icons")
    ap.add_argument("--preview", help="render the starting position to this PNG file")
    ap.add_argument("--size", type=int, default=512, help="preview size in pixels (default 512)")
    ap.add_argument("--black-view", action="store_true", help="preview from Black's side")
    ap.add_argument("--from", dest="source",
                    help="preview the pictures already written in this directory instead")
    args = ap.parse_args(argv)
    if not (args.out or args.icons or args.preview):
        ap.error("nothing to do: give --out, --icons or --preview")
    versions = library_versions()
    if versions != PINNED:
        print("note: the shipped files were made with %s; this machine has %s, so the bytes may differ"
              % (PINNED, versions))
        if args.check:
            return 77

    squares = (wood_texture(LIGHT_WOOD, 1401, strength=0.8), wood_texture(DARK_WOOD, 2718))
    figures = pieces.all_pieces()
    if args.check:
        with tempfile.TemporaryDirectory() as scratch:
            wrong = []
            if args.out:
                write_pictures(os.path.join(scratch, "assets"), squares, figures)
                wrong += differences(os.path.join(scratch, "assets"), args.out)
            if args.icons:
                write_icons(os.path.join(scratch, "icons"), squares)
                wrong += differences(os.path.join(scratch, "icons"), args.icons)
        for path in wrong:
            print("differs from what the generator makes:", path)
        print("all generated files are as shipped" if not wrong else "%d files differ" % len(wrong))
        return 1 if wrong else 0
    if args.out:
        write_pictures(args.out, squares, figures)
    if args.icons:
        write_icons(args.icons, squares)
    if args.preview:
        if args.source:
            squares, figures = load_pictures(args.source)
        save(draw_board(squares, figures, args.size, black_view=args.black_view), args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
