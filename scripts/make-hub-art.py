#!/usr/bin/env python3
"""Draws the hub's picture (bitmap 129: 160x120, 256 colours) and icon (130: 32x32) into
hub/res/. The drawing is code so that the committed files can be made again byte for byte:
a central node joined to six terminals on a ring, white on a deep blue gradient."""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "hub", "res")


def coverage(shapes, x, y, n=4):
    """Fraction (0..1) of the pixel (x, y) covered by any shape, from n x n samples."""
    hit = 0
    for sy in range(n):
        for sx in range(n):
            px, py = x + (sx + 0.5) / n, y + (sy + 0.5) / n
            if any(shape(px, py) for shape in shapes):
                hit += 1
    return hit / (n * n)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= width / 2


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
    return inside


def hub_motif(cx, cy, radius, node, centre, line):
    shapes = [disc(cx, cy, centre), ring(cx, cy, centre + line * 1.5, line * 0.6)]
    for k in range(6):
        a = math.pi / 2 + k * math.pi / 3
        x, y = cx + radius * math.cos(a), cy - radius * math.sin(a)
        shapes += [disc(x, y, node), segment(cx, cy, x, y, line)]
    return shapes


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


TOP, BOTTOM, WHITE = (16, 40, 110), (40, 110, 200), (245, 248, 255)


def bitmap():
    w, h = 160, 120
    # Palette: 16 background levels x 16 coverage levels of white over them.
    palette = []
    for level in range(16):
        bg = mix(TOP, BOTTOM, level / 15)
        palette += [mix(bg, WHITE, c / 15) for c in range(16)]
    shapes = hub_motif(80, 60, 40, 7, 13, 3)
    rows = []
    for y in range(h):
        level = round(15 * y / (h - 1))
        rows.append(bytes(level * 16 + round(15 * coverage(shapes, x, y)) for x in range(w)))
    pixels = b"".join(reversed(rows))  # bottom-up; 160 is a multiple of 4, so no padding
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pixels), 2835, 2835, 256, 256)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def icon():
    n = 32
    tile = lambda x, y: abs(x - 16) <= 15 and abs(y - 16) <= 15 and \
        math.hypot(max(abs(x - 16) - 10, 0), max(abs(y - 16) - 10, 0)) <= 5
    shapes = hub_motif(16, 16, 10.5, 2.6, 3.4, 1.3)
    rows = []
    for y in range(n):
        row = b""
        for x in range(n):
            alpha = coverage([tile], x, y)
            colour = mix(mix(TOP, BOTTOM, y / (n - 1)), WHITE, coverage(shapes, x, y))
            row += struct.pack("<BBBB", colour[2], colour[1], colour[0], round(255 * alpha))
        rows.append(row)
    xor = b"".join(reversed(rows))
    mask = bytes(4 * n)  # the alpha channel decides; the AND mask lets everything through
    image = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image += xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + image


os.makedirs(OUT, exist_ok=True)
with open(os.path.join(OUT, "varnick.bmp"), "wb") as f:
    f.write(bitmap())
with open(os.path.join(OUT, "varnick.ico"), "wb") as f:
    f.write(icon())
