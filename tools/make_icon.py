#!/usr/bin/env python3
"""Draws the program's icon, an amber room-cube with a doorway, and writes it as a Windows .ico file.

Usage: python3 tools/make_icon.py [OUTPUT]   (default: src/win32/torvale.ico)

The icon holds 16, 32 and 48 pixel images, each a 32-bit BGRA bitmap with its 1-bit AND mask, drawn with
4x4 supersampling so that the edges are smooth. Only the standard library is used, so the file can be made
again anywhere; the committed .ico is its output.
"""

import struct
import sys

# The cube seen from above at an angle, in a unit square: six outer corners and the near middle corner.
TOP = (0.50, 0.04)
UPPER_RIGHT = (0.93, 0.28)
LOWER_RIGHT = (0.93, 0.74)
BOTTOM = (0.50, 0.98)
LOWER_LEFT = (0.07, 0.74)
UPPER_LEFT = (0.07, 0.28)
CENTRE = (0.50, 0.52)

# Faces drawn back to front; later ones cover earlier ones. Colours are (red, green, blue).
FACES = [
    ([TOP, UPPER_RIGHT, CENTRE, UPPER_LEFT], (0xF6, 0xB4, 0x4C)),  # lit top
    ([UPPER_LEFT, CENTRE, BOTTOM, LOWER_LEFT], (0xD8, 0x74, 0x1C)),  # left wall
    ([CENTRE, UPPER_RIGHT, LOWER_RIGHT, BOTTOM], (0x9E, 0x46, 0x10)),  # right wall, in shade
    # A doorway in the left wall: the wall's slant carries it along.
    ([(0.22, 0.52), (0.37, 0.60), (0.37, 0.86), (0.22, 0.78)], (0x38, 0x18, 0x06)),
    # A window in the right wall.
    ([(0.63, 0.58), (0.80, 0.49), (0.80, 0.62), (0.63, 0.71)], (0xFF, 0xE2, 0x9A)),
]

SIZES = (16, 32, 48)
SUPERSAMPLE = 4


def inside(polygon, x, y):
    """Even-odd rule point-in-polygon test."""
    result = False
    count = len(polygon)
    for i in range(count):
        x1, y1 = polygon[i]
        x2, y2 = polygon[(i + 1) % count]
        if (y1 > y) != (y2 > y):
            crossing = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < crossing:
                result = not result
    return result


def render(size):
    """Returns size*size (r, g, b, a) tuples, top row first."""
    pixels = []
    step = 1.0 / (size * SUPERSAMPLE)
    for row in range(size):
        for col in range(size):
            red = green = blue = covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (col * SUPERSAMPLE + sx + 0.5) * step
                    y = (row * SUPERSAMPLE + sy + 0.5) * step
                    colour = None
                    for polygon, face_colour in FACES:
                        if inside(polygon, x, y):
                            colour = face_colour
                    if colour is not None:
                        red += colour[0]
                        green += colour[1]
                        blue += colour[2]
                        covered += 1
            if covered:
                alpha = covered * 255 // (SUPERSAMPLE * SUPERSAMPLE)
                pixels.append((red // covered, green // covered, blue // covered, alpha))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def bitmap(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask bottom-up."""
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(range(size)):
        for col in range(size):
            r, g, b, a = pixels[row * size + col]
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(range(size)):
        line = bytearray(mask_stride)
        for col in range(size):
            if pixels[row * size + col][3] == 0:  # transparent where nothing is drawn
                line[col // 8] |= 0x80 >> (col % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def icon():
    images = [bitmap(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return out


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "src/win32/torvale.ico"
    with open(path, "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main()
