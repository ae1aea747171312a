#!/usr/bin/env python3
"""Generate the pictures that ship beside Korvin 4, and its desktop icons.

One command regenerates everything, byte for byte the same on every run:

    python3 tools/assets/make_assets.py --out assets --icons desktop/icons

and a whole board in the starting position, drawn the way the program draws
it, can be rendered for inspection:

    python3 tools/assets/make_assets.py --preview board.png [--size 512]

Needs Python 3 and Pillow (Debian: python3-pil) and the DejaVu fonts
(Debian: fonts-dejavu-core). Only needed to regenerate the pictures.
"""

import argparse
import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
SERIF_BOLD = os.path.join(FONT_DIR, "DejaVuSerif-Bold.ttf")

# Width and height of each piece picture as a percentage of the square size,
# by piece kind (1 pawn .. 6 king). The program stretches every picture to
# exactly these fractions of its square, centred horizontally and standing on
# the bottom edge of the square.
WIDTH_PERCENT = {1: 105, 2: 110, 3: 110, 4: 105, 5: 130, 6: 130}
HEIGHT_PERCENT = {1: 75, 2: 90, 3: 90, 4: 85, 5: 100, 6: 100}

# Height of the drawn piece, as a fraction of the square, and the gap left
# between the piece's foot and the bottom edge of the square.
ARTWORK_HEIGHT = {1: 0.60, 2: 0.78, 3: 0.80, 4: 0.69, 5: 0.85, 6: 0.89}
FOOT_GAP = 0.065

# Pixels per square in the piece pictures: the king picture is 520 x 400 and
# the pawn picture, the smallest, 420 x 300.
UNIT = 400
SUPERSAMPLE = 2

# Outline (White) and solid (Black) chess symbols, pawn .. king.
OUTLINE_GLYPH = {1: "\u2659", 2: "\u2658", 3: "\u2657", 4: "\u2656", 5: "\u2655", 6: "\u2654"}
SOLID_GLYPH = {1: "\u265F", 2: "\u265E", 3: "\u265D", 4: "\u265C", 5: "\u265B", 6: "\u265A"}

# White pieces whose outline symbol is partly solid are drawn from the solid
# symbol instead: light body, dark rim, dark inner lines.
WHITE_FROM_SOLID = (1, 3)

WHITE_FILL_TOP = (255, 253, 246)
WHITE_FILL_BOTTOM = (226, 214, 192)
WHITE_LINE = (28, 24, 21)
BLACK_FILL_TOP = (66, 60, 56)
BLACK_FILL_BOTTOM = (24, 21, 19)
BLACK_LINE = (236, 228, 212)
BLACK_EDGE = (20, 17, 15)

LIGHT_WOOD = (238, 216, 178)
DARK_WOOD = (176, 128, 86)


# ---------------------------------------------------------------- helpers

def glyph_mask(ch, size, font_path=SANS):
    """Render one character as an 8-bit coverage mask cropped to its ink."""
    font = ImageFont.truetype(font_path, size)
    left, top, right, bottom = font.getbbox(ch)
    im = Image.new("L", (right + size // 4, bottom + size // 4), 0)
    ImageDraw.Draw(im).text((size // 8, size // 8), ch, font=font, fill=255)
    return im.crop(im.getbbox())


def exterior_mask(mask):
    """Mark with 255 every pixel reachable from the border through unlit pixels."""
    w, h = mask.size
    ink = mask.point(lambda v: 1 if v >= 96 else 0).tobytes()
    out = bytearray(w * h)
    stack = []
    for x in range(w):
        stack.append(x)
        stack.append((h - 1) * w + x)
    for y in range(h):
        stack.append(y * w)
        stack.append(y * w + w - 1)
    while stack:
        p = stack.pop()
        if out[p] or ink[p]:
            continue
        out[p] = 255
        x = p % w
        if x > 0:
            stack.append(p - 1)
        if x < w - 1:
            stack.append(p + 1)
        if p >= w:
            stack.append(p - w)
        if p < w * (h - 1):
            stack.append(p + w)
    return Image.frombytes("L", (w, h), bytes(out))


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


def grow(mask, pixels):
    """Dilate (pixels > 0) or erode (pixels < 0) a mask by about |pixels|."""
    step = ImageFilter.MaxFilter(3) if pixels > 0 else ImageFilter.MinFilter(3)
    for _ in range(abs(pixels)):
        mask = mask.filter(step)
    return mask


# ---------------------------------------------------------------- squares

def wood_texture(base, seed, size=256, strength=1.0):
    """A square wood-grain texture around the colour base."""
    rng = random.Random(seed)

    def smooth_noise(cols, rows):
        small = Image.new("L", (cols, rows))
        small.putdata([rng.randrange(256) for _ in range(cols * rows)])
        return small.resize((size, size), Image.BICUBIC)

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
            t = x * ring_freq + (wp[x, y] / 255.0 - 0.5) * 9.0 + phase
            ring = math.sin(t) * 0.5 + math.sin(2.3 * t + 1.7) * 0.2
            ring = max(-1.0, min(1.0, ring)) ** 3
            fibre = (sp[x, y] / 255.0 - 0.5)
            tone = (bp[x, y] / 255.0 - 0.5)
            k = 1.0 + strength * (0.045 * ring + 0.05 * fibre + 0.04 * tone)
            px[x, y] = tuple(max(0, min(255, int(round(c * k)))) for c in base)
    return img.filter(ImageFilter.GaussianBlur(0.6))


# ---------------------------------------------------------------- pieces

def piece_artwork(kind, black, unit):
    """The piece drawn at its natural size in a (130 % x 100 %) square frame.

    The frame is unit * 1.3 wide and unit high; the square itself occupies
    its middle unit pixels horizontally. The piece stands FOOT_GAP above the
    bottom edge, centred on the square.
    """
    height = int(round(ARTWORK_HEIGHT[kind] * unit))
    # All the chess symbols of the font share one ink height, so one font
    # size per target height fits every glyph.
    probe = glyph_mask(OUTLINE_GLYPH[kind], 1000)
    font_size = int(round(1000 * height / probe.size[1]))
    outline = glyph_mask(OUTLINE_GLYPH[kind], font_size)
    solid = glyph_mask(SOLID_GLYPH[kind], font_size)
    w = max(outline.size[0], solid.size[0])
    h = max(outline.size[1], solid.size[1])
    pad = unit // 20
    W, H = w + 2 * pad, h + 2 * pad
    o = Image.new("L", (W, H), 0)
    o.paste(outline, (pad + (w - outline.size[0]) // 2, pad + h - outline.size[1]))
    s = Image.new("L", (W, H), 0)
    s.paste(solid, (pad + (w - solid.size[0]) // 2, pad + h - solid.size[1]))
    derived = black or kind in WHITE_FROM_SOLID
    ref = s if derived else o
    silhouette = ImageChops.lighter(ImageChops.invert(exterior_mask(ref)), ref)
    line = max(1, unit // 200)   # stroke thickening so thin lines survive shrinking

    art = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    # Soft contact shadow below and to the right.
    shadow = silhouette.filter(ImageFilter.GaussianBlur(unit / 60)).point(lambda v: v * 30 // 100)
    shifted = Image.new("L", (W, H), 0)
    shifted.paste(shadow, (unit // 90, unit // 120))
    art = layer(art, (0, 0, 0), shifted)
    if not black:
        fill = vertical_gradient((W, H), WHITE_FILL_TOP, WHITE_FILL_BOTTOM)
        art = layer(art, fill, grow(silhouette, -line))
        if kind in WHITE_FROM_SOLID:
            # Light body, dark rim and the solid symbol's inner lines in dark.
            stroke = int(0.030 * height) + 2 * line
            inner = grow(silhouette, -stroke)
            rim = ImageChops.subtract(silhouette, inner)
            holes = ImageChops.multiply(ImageChops.invert(grow(s, line // 2)), grow(inner, -line))
            art = layer(art, WHITE_LINE, ImageChops.lighter(rim, holes))
        else:
            art = layer(art, WHITE_LINE, grow(o, line))
    else:
        art = layer(art, BLACK_EDGE, grow(silhouette, line))
        art = layer(art, BLACK_LINE, grow(silhouette, -2 * line))
        body = vertical_gradient((W, H), BLACK_FILL_TOP, BLACK_FILL_BOTTOM)
        art = layer(art, body, grow(s, line // 2))
    # Place the artwork in the frame: centred on the square, standing on the
    # foot line.
    frame = Image.new("RGBA", (int(round(1.3 * unit)), unit), (0, 0, 0, 0))
    ink = silhouette.getbbox()
    cx = (ink[0] + ink[2]) / 2.0
    x = int(round(frame.size[0] / 2.0 - cx))
    y = int(round(unit * (1.0 - FOOT_GAP) - ink[3]))
    frame.alpha_composite(art, (max(0, x), max(0, y)), (max(0, -x), max(0, -y)))
    return frame


def piece_picture(kind, black, unit=UNIT):
    """The picture file of one piece: the frame cropped to its percentages."""
    big = piece_artwork(kind, black, unit * SUPERSAMPLE)
    fw, fh = big.size
    pw = int(round(unit * SUPERSAMPLE * WIDTH_PERCENT[kind] / 100.0))
    ph = int(round(unit * SUPERSAMPLE * HEIGHT_PERCENT[kind] / 100.0))
    left = (fw - pw) // 2
    crop = big.crop((left, fh - ph, left + pw, fh))
    size = (unit * WIDTH_PERCENT[kind] // 100, unit * HEIGHT_PERCENT[kind] // 100)
    return crop.resize(size, Image.LANCZOS)


def all_pieces():
    """Piece pictures by piece code (1..6 White, 9..14 Black)."""
    pieces = {}
    for kind in range(1, 7):
        pieces[kind] = piece_picture(kind, False)
        pieces[kind + 8] = piece_picture(kind, True)
    return pieces


# ---------------------------------------------------------------- board

def draw_board(squares, pieces, size, board=None, black_view=False):
    """Draw the 8 x 8 board the way the program does (square size = size // 8)."""
    s = size // 8
    canvas = Image.new("RGB", (size, size), (0, 0, 0))
    if board is None:
        board = starting_board()
    light = squares[0].resize((s, s), Image.BILINEAR)
    dark = squares[1].resize((s, s), Image.BILINEAR)
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
                cache[piece] = pieces[piece].resize((pw, ph), Image.BILINEAR)
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
    """The solid king symbol in one colour, height pixels high, on transparency."""
    probe = glyph_mask(SOLID_GLYPH[6], 1000)
    mask = glyph_mask(SOLID_GLYPH[6], int(round(1000 * height / probe.size[1])))
    img = Image.new("RGBA", mask.size, colour + (255,))
    img.putalpha(mask)
    return img


BANNER_WORDS = ("Checkmate", "Stalemate", "Draw")


def banner_font(limit):
    """The largest bold serif font (at most 34 px) that fits every banner word."""
    size = 34
    while size > 12:
        font = ImageFont.truetype(SERIF_BOLD, size)
        if all(font.getbbox(word)[2] - font.getbbox(word)[0] <= limit for word in BANNER_WORDS):
            return font
        size -= 1
    return ImageFont.truetype(SERIF_BOLD, size)


def banner(word):
    """A 315 x 68 result banner: dark panel, gold frame, the word in cream."""
    w, h = 315, 68
    gold = (214, 178, 112)
    img = vertical_gradient((w, h), (72, 52, 37), (32, 23, 17)).convert("RGBA")
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), outline=(18, 12, 9))
    d.rounded_rectangle((4, 4, w - 5, h - 5), radius=9, outline=gold, width=2)
    d.rounded_rectangle((8, 8, w - 9, h - 9), radius=6, outline=(122, 94, 62), width=1)
    king = ornament(30, gold)
    kw = king.size[0]
    img.alpha_composite(king, (20, (h - king.size[1]) // 2))
    img.alpha_composite(king.transpose(Image.FLIP_LEFT_RIGHT), (w - 20 - kw, (h - king.size[1]) // 2))
    font = banner_font(w - 2 * (20 + kw + 12))
    box = d.textbbox((0, 0), word, font=font)
    tw, th = box[2] - box[0], box[3] - box[1]
    tx = (w - tw) // 2 - box[0]
    ty = (h - th) // 2 - box[1]
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((tx + 2, ty + 2), word, font=font, fill=(0, 0, 0, 180))
    img = Image.alpha_composite(img, shadow.filter(ImageFilter.GaussianBlur(1.5)))
    ImageDraw.Draw(img).text((tx, ty), word, font=font, fill=(250, 240, 218))
    return img.convert("RGB")


# ---------------------------------------------------------------- options picture

def options_picture(squares, pieces):
    """The 320 x 120 picture of the Options dialog: the title over a rank of pieces."""
    w, h, sq = 320, 120, 40
    gold = (214, 178, 112)
    img = vertical_gradient((w, h), (72, 52, 37), (30, 22, 16))
    back = [4, 2, 3, 5, 6, 3, 2, 4]
    board = [back] + [[7] * 8 for _ in range(7)]
    strip = draw_board(squares, pieces, 8 * sq, board).crop((0, 7 * sq, 8 * sq, 8 * sq))
    img.paste(strip, (0, h - sq))
    d = ImageDraw.Draw(img)
    d.line((0, h - sq - 2, w, h - sq - 2), fill=gold, width=2)
    font = ImageFont.truetype(SERIF_BOLD, 40)
    title = "Korvin 4"
    box = d.textbbox((0, 0), title, font=font)
    tx = (w - (box[2] - box[0])) // 2 - box[0]
    ty = (h - sq - 2 - (box[3] - box[1])) // 2 - box[1]
    shadow = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).text((tx + 2, ty + 3), title, font=font, fill=(0, 0, 0, 190))
    img = Image.alpha_composite(img.convert("RGBA"), shadow.filter(ImageFilter.GaussianBlur(2)))
    ImageDraw.Draw(img).text((tx, ty), title, font=font, fill=(244, 222, 166))
    king = ornament(34, gold)
    y = (h - sq - 2 - king.size[1]) // 2
    img.alpha_composite(king, (18, y))
    img.alpha_composite(king.transpose(Image.FLIP_LEFT_RIGHT), (w - 18 - king.size[0], y))
    return img.convert("RGB")


# ---------------------------------------------------------------- icons

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


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
    knight = piece_artwork(2, False, big if size >= 32 else big * 115 // 100)
    ink = knight.getbbox()
    knight = knight.crop(ink)
    scale = 0.80 if size >= 32 else 0.92
    kh = int(big * scale)
    kw = kh * knight.size[0] // knight.size[1]
    knight = knight.resize((kw, kh), Image.LANCZOS)
    out.alpha_composite(knight, ((big - kw) // 2, (big - kh) // 2))
    return out.resize((size, size), Image.LANCZOS)


def icon_svg():
    """The scalable icon: the knight's glyph outlines on a rounded wood tile.

    Needs fontTools (Debian: python3-fonttools) to read the glyph outlines;
    returns None without it.
    """
    try:
        from fontTools.pens.recordingPen import RecordingPen
        from fontTools.pens.svgPathPen import SVGPathPen
        from fontTools.ttLib import TTFont
    except ImportError:
        return None
    font = TTFont(SANS)
    glyphs = font.getGlyphSet()
    glyph = glyphs[font.getBestCmap()[ord(OUTLINE_GLYPH[2])]]
    rec = RecordingPen()
    glyph.draw(rec)
    contours, current = [], []
    for op, pts in rec.value:
        current.append((op, pts))
        if op in ("closePath", "endPath"):
            contours.append(current)
            current = []

    def path_of(ops):
        pen = SVGPathPen(glyphs)
        for op, pts in ops:
            getattr(pen, op)(*pts)
        return pen.getCommands()

    def extent(ops):
        xs = [p[0] for _, pts in ops for p in pts]
        ys = [p[1] for _, pts in ops for p in pts]
        return min(xs), min(ys), max(xs), max(ys)

    boxes = [extent(c) for c in contours if extent_ok(c)]
    x0 = min(b[0] for b in boxes)
    y0 = min(b[1] for b in boxes)
    x1 = max(b[2] for b in boxes)
    y1 = max(b[3] for b in boxes)
    outer = max(contours, key=lambda c: (extent(c)[2] - extent(c)[0]) * (extent(c)[3] - extent(c)[1]))
    whole = "".join(path_of(c) for c in contours)
    # Fit the glyph to 76 % of the 256-unit tile, centred; glyph y points up.
    scale = 0.76 * 256 / (y1 - y0)
    tx = 128 - scale * (x0 + x1) / 2
    ty = 128 + scale * (y0 + y1) / 2
    transform = "translate(%.2f %.2f) scale(%.5f %.5f)" % (tx, ty, scale, -scale)
    return """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="wood" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#bb8b5f"/>
      <stop offset="1" stop-color="#a3744b"/>
    </linearGradient>
    <linearGradient id="ivory" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#fffdf6"/>
      <stop offset="1" stop-color="#e2d6c0"/>
    </linearGradient>
  </defs>
  <rect x="3" y="3" width="250" height="250" rx="42" fill="url(#wood)" stroke="#4a3220" stroke-width="6"/>
  <g transform="%s">
    <path d="%s" fill="url(#ivory)"/>
    <path d="%s" fill="#1c1815" stroke="#1c1815" stroke-width="14" stroke-linejoin="round"/>
  </g>
</svg>
""" % (transform, path_of(outer), whole)


def extent_ok(ops):
    """True when a recorded contour carries points (empty ones are skipped)."""
    return any(pts for _, pts in ops)


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
    pieces = {}
    for code in list(range(1, 7)) + list(range(9, 15)):
        pieces[code] = Image.open(os.path.join(directory, "fig%d.png" % code)).convert("RGBA")
    return squares, pieces


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", help="directory for the program's pictures (e.g. assets)")
    ap.add_argument("--icons", help="directory for the desktop icons (e.g. desktop/icons)")
    ap.add_argument("--preview", help="render the starting position to this PNG file")
    ap.add_argument("--size", type=int, default=512, help="preview size in pixels (default 512)")
    ap.add_argument("--black-view", action="store_true", help="preview from Black's side")
    ap.add_argument("--from", dest="source",
                    help="preview the pictures already written in this directory instead")
    args = ap.parse_args(argv)
    if not (args.out or args.icons or args.preview):
        ap.error("nothing to do: give --out, --icons or --preview")

    squares = (wood_texture(LIGHT_WOOD, 1401, strength=0.8), wood_texture(DARK_WOOD, 2718))
    pieces = all_pieces()
    if args.out:
        os.makedirs(args.out, exist_ok=True)
        save(squares[0], os.path.join(args.out, "light.jpg"))
        save(squares[1], os.path.join(args.out, "dark.jpg"))
        for code, im in sorted(pieces.items()):
            save(im, os.path.join(args.out, "fig%d.png" % code))
        for word in BANNER_WORDS:
            save(banner(word), os.path.join(args.out, word.lower() + ".png"))
        save(options_picture(squares, pieces), os.path.join(args.out, "chess.jpg"))
    if args.icons:
        for n in ICON_SIZES:
            d = os.path.join(args.icons, "hicolor", "%dx%d" % (n, n), "apps")
            os.makedirs(d, exist_ok=True)
            save(icon(n, squares), os.path.join(d, "korvin4.png"))
        svg = icon_svg()
        if svg is None:
            print("fontTools not found (Debian: python3-fonttools): scalable icon not written")
        else:
            d = os.path.join(args.icons, "hicolor", "scalable", "apps")
            os.makedirs(d, exist_ok=True)
            with open(os.path.join(d, "korvin4.svg"), "w", encoding="utf-8", newline="\n") as out:
                out.write(svg)
            print("wrote", os.path.join(d, "korvin4.svg"))
    if args.preview:
        if args.source:
            squares, pieces = load_pictures(args.source)
        save(draw_board(squares, pieces, args.size, black_view=args.black_view), args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
