"""The piece set of Korvin 4: vector drawings rendered to the piece pictures.

Every piece is drawn here from straight lines, circles and cubic Bézier
curves in a square cell of 1000 x 1000 units: x runs from the cell's centre
(negative to the left), y from the cell's top edge down, and every piece
stands on the foot line FOOT. A piece is a list of parts painted in order,
each one over the ones before it, the way a pen-and-ink drawing is built up:

    ("body", outline)   filled with the piece's colour and outlined;
    ("line", points)    an inner line (a fold, a band, the mane);
    ("mark", outline)   a small filled mark (an eye, a slit) in line colour.

White pieces are ivory with dark lines, Black pieces dark with dark outlines
and light inner lines. The drawing is rasterised with Pillow at SUPERSAMPLE
times the final size with hard edges and reduced by averaging, which gives
each pixel its exact covered share; nothing else is involved, so the result
is the same byte for byte on every machine with the same Pillow.
"""

import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter

# Width and height of each piece picture as a percentage of the square, by
# piece kind (1 pawn .. 6 king): the program stretches every picture to these
# fractions of its square, centred and standing on the square's bottom edge.
WIDTH_PERCENT = {1: 105, 2: 110, 3: 110, 4: 105, 5: 130, 6: 130}
HEIGHT_PERCENT = {1: 75, 2: 90, 3: 90, 4: 85, 5: 100, 6: 100}

FOOT = 940          # the foot line, 6 % above the square's bottom edge
OUTLINE = 30        # outline width in units (3 % of the square)
INNER = 24          # width of inner lines
SUPERSAMPLE = 8

WHITE_LIGHT = (255, 253, 245)
WHITE_SHADE = (214, 200, 176)
WHITE_LINE = (32, 27, 23)
BLACK_LIGHT = (84, 76, 70)
BLACK_SHADE = (22, 19, 17)
BLACK_EDGE = (14, 12, 11)
BLACK_LINE = (228, 218, 198)


# ---------------------------------------------------------------- paths

class Path:
    """A polyline built from line and cubic curve segments."""

    def __init__(self, x, y):
        self.points = [(float(x), float(y))]

    def to(self, x, y):
        self.points.append((float(x), float(y)))
        return self

    def curve(self, x1, y1, x2, y2, x, y, steps=32):
        x0, y0 = self.points[-1]
        for i in range(1, steps + 1):
            t = i / steps
            u = 1 - t
            self.points.append((u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x,
                                u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y))
        return self


def mirrored(half):
    """A closed outline from its right half, drawn from the top of the centre
    line (x = 0) down to the bottom of it."""
    right = half.points
    left = [(-x, y) for x, y in reversed(right[1:-1])]
    return right + left


def circle(cx, cy, r, steps=96):
    return [(cx + r * math.cos(2 * math.pi * i / steps), cy + r * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def ellipse(cx, cy, rx, ry, steps=96):
    return [(cx + rx * math.cos(2 * math.pi * i / steps), cy + ry * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def rounded_rect(x0, y0, x1, y1, r, steps=12):
    """A rectangle with rounded corners of radius r."""
    pts = []
    for cx, cy, a0 in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(steps + 1):
            a = math.radians(a0 + 90 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def arc(cx, cy, rx, ry, a0, a1, steps=48):
    """An open elliptic arc from angle a0 to a1 (degrees, y down)."""
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


# ---------------------------------------------------------------- the pieces

def plinth(half, top):
    """The two-step foot every piece stands on: a wide slab and a ring above."""
    slab = rounded_rect(-half, top + 45, half, FOOT, 22)
    ring = rounded_rect(-(half - 45), top, half - 45, top + 55, 24)
    return [("body", slab), ("body", ring)]


def flared_stem(top_half, top_y, bottom_half, bottom_y):
    """A stem that widens towards its foot in a concave sweep."""
    h = Path(0, top_y).to(top_half, top_y)
    h.curve(top_half + 8, top_y + (bottom_y - top_y) * 0.55,
            bottom_half - 55, bottom_y - 30, bottom_half, bottom_y)
    h.to(0, bottom_y)
    return mirrored(h)


def pawn():
    parts = plinth(250, 825)
    parts.append(("body", flared_stem(62, 600, 190, 835)))
    parts.append(("body", rounded_rect(-122, 572, 122, 622, 25)))
    parts.append(("body", circle(0, 475, 102)))
    return parts


def rook():
    parts = plinth(282, 820)
    body = Path(0, 470).to(168, 470)
    body.curve(160, 600, 172, 740, 200, 830).to(0, 830)
    parts.append(("body", mirrored(body)))
    parts.append(("body", rounded_rect(-222, 430, 222, 492, 18)))
    top = Path(0, 315).to(52, 315).to(52, 375).to(128, 375).to(128, 315).to(222, 315)
    top.to(222, 445).to(0, 445)
    parts.append(("body", mirrored(top)))
    parts.append(("line", [(-178, 560), (178, 560)]))
    return parts


def knight():
    parts = plinth(272, 825)
    head = Path(-172, 835)
    head.curve(-226, 760, -214, 676, -136, 612)      # the chest up to the throat
    head.curve(-170, 590, -214, 582, -252, 580)      # under the jaw to the chin
    head.curve(-292, 578, -322, 548, -318, 506)      # the chin and the mouth
    head.curve(-316, 480, -310, 462, -300, 446)      # the nose
    head.curve(-256, 392, -196, 330, -96, 250)       # the face up to the forelock
    head.curve(-72, 212, -50, 170, -24, 128)         # the front of the ear
    head.curve(2, 160, 24, 192, 34, 226)             # the ear's back edge
    head.curve(132, 218, 232, 288, 258, 408)         # the crest of the neck
    head.curve(284, 530, 278, 700, 246, 835)         # the mane down to the foot
    head.to(-172, 835)
    parts.append(("body", head.points))
    eye = Path(-160, 356).curve(-140, 328, -106, 318, -86, 330).curve(-96, 356, -124, 368, -160, 356)
    parts.append(("mark", eye.points))
    parts.append(("mark", ellipse(-284, 478, 14, 18)))                             # nostril
    parts.append(("line", Path(-318, 530).curve(-296, 536, -272, 536, -250, 530).points))  # mouth
    parts.append(("line", Path(-118, 606).curve(-76, 560, -64, 470, -92, 410).points))     # jaw
    parts.append(("line", Path(-30, 196).curve(-22, 214, -12, 228, 4, 236).points))        # ear
    mane = Path(44, 242).curve(146, 262, 206, 380, 214, 520).curve(220, 640, 208, 740, 186, 806)
    parts.append(("line", mane.points))
    return parts


def bishop():
    parts = plinth(262, 828)
    parts.append(("body", flared_stem(92, 690, 195, 838)))
    parts.append(("body", rounded_rect(-150, 655, 150, 712, 26)))
    mitre = Path(0, 232)
    mitre.curve(70, 282, 172, 372, 168, 480)
    mitre.curve(164, 570, 124, 628, 96, 664).to(0, 664)
    parts.append(("body", mirrored(mitre)))
    parts.append(("body", circle(0, 200, 44)))
    parts.append(("mark", [(26, 340), (64, 366), (-10, 468), (-48, 442)]))   # the slit
    parts.append(("line", arc(0, 720, 150, 52, 200, 340)))
    return parts


def crown_body(half):
    """Collar and stem shared by queen and king."""
    parts = plinth(half, 828)
    parts.append(("body", flared_stem(118, 676, half - 62, 838)))
    parts.append(("body", rounded_rect(-172, 640, 172, 700, 28)))
    return parts


def queen():
    parts = crown_body(300)
    tips = [(-236, 262), (-120, 214), (0, 190), (120, 214), (236, 262)]
    crown = Path(0, 660).to(-150, 660)
    crown.curve(-182, 560, -214, 420, tips[0][0], tips[0][1])
    for (x0, y0), (x1, y1) in zip(tips, tips[1:]):
        mid = (x0 + x1) / 2
        valley = max(y0, y1) + 190
        crown.curve(x0 + 20, y0 + 110, mid - 14, valley - 30, mid, valley)
        crown.curve(mid + 14, valley - 30, x1 - 20, y1 + 110, x1, y1)
    crown.curve(214, 420, 182, 560, 150, 660).to(0, 660)
    parts.append(("body", crown.points))
    parts.append(("line", arc(0, 640, 168, 40, 200, 340)))
    for x, y in tips:
        parts.append(("body", circle(x, y, 40 if x == 0 else 36)))
    return parts


def king():
    parts = crown_body(300)
    cup = Path(0, 300).to(60, 300)
    cup.curve(150, 280, 262, 300, 248, 400)
    cup.curve(238, 480, 180, 580, 148, 660).to(0, 660)
    parts.append(("body", mirrored(cup)))
    parts.append(("line", Path(-232, 430).curve(-120, 400, 120, 400, 232, 430).points))
    parts.append(("line", arc(0, 642, 166, 38, 200, 340)))
    parts.append(("body", rounded_rect(-58, 262, 58, 318, 20)))
    cross = Path(0, 104).to(26, 104).to(26, 154).to(74, 154).to(74, 204).to(26, 204).to(26, 270).to(0, 270)
    parts.append(("body", mirrored(cross)))
    return parts


PIECES = {1: pawn, 2: knight, 3: bishop, 4: rook, 5: queen, 6: king}


# ---------------------------------------------------------------- rendering

def diagonal_gradient(size, light, shade):
    """Light in the top left, shade in the bottom right."""
    w, h = size
    small = Image.new("RGB", (64, 64))
    for y in range(64):
        for x in range(64):
            t = min(1.0, max(0.0, (0.55 * x + 0.45 * y) / 63.0))
            small.putpixel((x, y), tuple(int(round(a + (b - a) * t)) for a, b in zip(light, shade)))
    return small.resize((w, h), Image.BILINEAR)


def piece_picture(kind, black, unit=400):
    """The picture file of one piece: unit pixels per square, cut to its
    width and height percentages."""
    width = unit * WIDTH_PERCENT[kind] // 100
    height = unit * HEIGHT_PERCENT[kind] // 100
    k = unit * SUPERSAMPLE / 1000.0
    left = -WIDTH_PERCENT[kind] * 5.0          # the picture's left edge in units
    top = 1000.0 - HEIGHT_PERCENT[kind] * 10.0

    def px(points):
        return [((x - left) * k, (y - top) * k) for x, y in points]

    big = (width * SUPERSAMPLE, height * SUPERSAMPLE)
    fill = diagonal_gradient(big, *(BLACK_LIGHT, BLACK_SHADE) if black else (WHITE_LIGHT, WHITE_SHADE))
    edge = BLACK_EDGE if black else WHITE_LINE
    inner = BLACK_LINE if black else WHITE_LINE
    art = Image.new("RGBA", big, (0, 0, 0, 0))
    draw = ImageDraw.Draw(art)
    outline_px = int(round(OUTLINE * k))
    inner_px = int(round(INNER * k))
    for part, points in PIECES[kind]():
        pts = px(points)
        if part == "body":
            mask = Image.new("L", big, 0)
            ImageDraw.Draw(mask).polygon(pts, fill=255)
            art.paste(fill, (0, 0), mask)
            # Black parts are parted by light lines; the dark edge comes last.
            stroke(draw, pts + pts[:2], (inner if black else edge) + (255,),
                   inner_px if black else outline_px)
        elif part == "mark":
            draw.polygon(pts, fill=inner + (255,))
        else:
            stroke(draw, pts, inner + (255,), inner_px, caps=True)
    small = art.reduce(SUPERSAMPLE)
    if black:
        small = with_edge(small, edge, OUTLINE * unit / 1000.0)
    return with_shadow(small, unit)


def stroke(draw, pts, fill, width, caps=False):
    """A polyline of the given width with round joins (and round ends when
    caps): a quadrilateral along every segment and a disc at every point."""
    r = width / 2.0
    disc = [(r * math.cos(2 * math.pi * i / 48), r * math.sin(2 * math.pi * i / 48)) for i in range(48)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        length = math.hypot(x1 - x0, y1 - y0)
        if length == 0:
            continue
        nx, ny = -(y1 - y0) / length * r, (x1 - x0) / length * r
        draw.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill=fill)
    ends = pts if caps else pts[1:-1]
    for x, y in ends:
        draw.polygon([(x + dx, y + dy) for dx, dy in disc], fill=fill)


def with_edge(img, colour, width):
    """Paints a band of `width` pixels along the outer edge of the piece."""
    alpha = img.getchannel("A")
    inner = alpha
    for _ in range(int(round(width))):
        inner = inner.filter(ImageFilter.MinFilter(3))
    band = ImageChops.subtract(alpha, inner)
    out = img.copy()
    out.paste(Image.new("RGBA", img.size, colour + (255,)), (0, 0), band)
    out.putalpha(alpha)
    return out


def with_shadow(img, unit):
    """A soft contact shadow below and to the right of the piece."""
    alpha = img.getchannel("A")
    shadow = alpha.filter(ImageFilter.GaussianBlur(unit / 70.0)).point(lambda v: v * 28 // 100)
    moved = Image.new("L", img.size, 0)
    moved.paste(shadow, (unit // 100, unit // 120))
    out = Image.new("RGBA", img.size, (0, 0, 0, 0))
    out.putalpha(moved)
    return Image.alpha_composite(out, img)


def silhouette(kind, height):
    """The solid shape of a piece (its bodies and marks, without lines), as
    a mask `height` pixels high cropped to the shape."""
    k = height * SUPERSAMPLE / 1000.0
    parts = PIECES[kind]()
    xs = [x for _, pts in parts for x, _ in pts]
    ys = [y for _, pts in parts for _, y in pts]
    pad = OUTLINE
    x0, y0 = min(xs) - pad, min(ys) - pad
    size = (int((max(xs) - x0 + pad) * k) + 1, int((max(ys) - y0 + pad) * k) + 1)
    mask = Image.new("L", size, 0)
    draw = ImageDraw.Draw(mask)
    for part, points in parts:
        if part != "line":
            pts = [((x - x0) * k, (y - y0) * k) for x, y in points]
            draw.polygon(pts, fill=255)
            stroke(draw, pts + pts[:2], 255, int(round(OUTLINE * k)))
    small = mask.reduce(SUPERSAMPLE)
    small = small.crop(small.getbbox())
    return small.resize((max(1, round(small.width * height / small.height)), height), Image.BOX)


def svg_parts(kind):
    """The parts of a piece as SVG elements in its cell's units, drawn as
    a White piece."""
    ink = "#%02x%02x%02x" % WHITE_LINE
    out = []
    for part, points in PIECES[kind]():
        d = "M" + " L".join("%.1f %.1f" % p for p in points)
        if part == "body":
            out.append('<path d="%s Z" fill="url(#ivory)" stroke="%s" stroke-width="%d" '
                       'stroke-linejoin="round"/>' % (d, ink, OUTLINE))
        elif part == "mark":
            out.append('<path d="%s Z" fill="%s"/>' % (d, ink))
        else:
            out.append('<path d="%s" fill="none" stroke="%s" stroke-width="%d" '
                       'stroke-linecap="round" stroke-linejoin="round"/>' % (d, ink, INNER))
    return out


def all_pieces(unit=400):
    """Piece pictures by piece code (1..6 White, 9..14 Black)."""
    pieces = {}
    for kind in range(1, 7):
        pieces[kind] = piece_picture(kind, False, unit)
        pieces[kind + 8] = piece_picture(kind, True, unit)
    return pieces
