#!/usr/bin/env python3
"""Writes lobrine.ico: one 32x32 image in 24-bit colour, a blue disc with a white arrow pointing
down into a tray (installing). Run it again only to change the picture; the .ico is committed."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    """(r, g, b), or None where the icon is transparent."""
    cx = cy = (SIZE - 1) / 2
    if (x - cx) ** 2 + (y - cy) ** 2 > 15.5 ** 2:
        return None
    white = (255, 255, 255)
    shaft = 13 <= x <= 18 and 5 <= y <= 15
    head = 16 <= y <= 22 and abs(x - 15.5) <= 22 - y + 0.5
    tray = (25 <= y <= 26 and 7 <= x <= 24) or (21 <= y <= 26 and (7 <= x <= 8 or 23 <= x <= 24))
    if shaft or head or tray:
        return white
    shade = int(40 * y / SIZE)
    return (30, 90 - shade // 2, 168 - shade)


def icon_bytes():
    colour = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        bits = 0
        for x in range(SIZE):
            p = pixel(x, y)
            colour += bytes(reversed(p)) if p else b"\0\0\0"  # stored blue, green, red
            bits = bits << 1 | (p is None)
        mask += struct.pack(">I", bits)  # one bit per pixel, rows of 4 bytes
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "lobrine.ico", "wb") as f:
        f.write(icon_bytes())
