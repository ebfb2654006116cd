#!/usr/bin/env python3
"""Draws the nine cursor pictures of the canvas as 24-bit BMP files.

Every picture is red (255, 0, 0) on black, black being the see-through colour of the
cursor layer. All show corner brackets along the outermost rows and columns, each arm about
a third of the side long (21 pixels at 64, 10 at 32, 5 at 16, 3 at 8, corner included);
the 64-pixel tool pictures add their symbol in the middle.

Usage: make_cursor_pictures.py [output folder]   (default: ../cursors beside this script)
"""

import math
import os
import struct
import sys

RED = (255, 0, 0)
ARM = {64: 21, 32: 10, 16: 5, 8: 3}


class Picture:
    def __init__(self, size):
        self.size = size
        self.pixels = [[(0, 0, 0)] * size for _ in range(size)]

    def set(self, x, y, colour=RED):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, width=1):
        """Line including both end points, width pixels thick (grown right and down)."""
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(width):
                for dy in range(width):
                    self.set(x + dx, y + dy)

    def frame(self, left, top, right, bottom):
        """Outline of the square from (left, top) to (right, bottom), both included."""
        self.line(left, top, right, top)
        self.line(left, bottom, right, bottom)
        self.line(left, top, left, bottom)
        self.line(right, top, right, bottom)

    def brackets(self):
        n = self.size - 1
        arm = ARM[self.size] - 1
        for (cx, cy, sx, sy) in ((0, 0, 1, 1), (n, 0, -1, 1), (0, n, 1, -1), (n, n, -1, -1)):
            self.line(cx, cy, cx + sx * arm, cy)
            self.line(cx, cy, cx, cy + sy * arm)

    def arrow_head(self, tip_x, tip_y, dir_x, dir_y, length=6):
        """Two barbs of an arrow head at the tip, pointing along (dir_x, dir_y)."""
        norm = math.hypot(dir_x, dir_y)
        ux, uy = dir_x / norm, dir_y / norm
        for angle in (math.radians(35), math.radians(-35)):
            bx = -(ux * math.cos(angle) - uy * math.sin(angle))
            by = -(ux * math.sin(angle) + uy * math.cos(angle))
            self.line(tip_x, tip_y, round(tip_x + bx * length), round(tip_y + by * length), 2)

    def bmp(self):
        """The picture as a bottom-up 24-bit BMP file."""
        row_size = (self.size * 3 + 3) // 4 * 4
        data = bytearray()
        for y in range(self.size - 1, -1, -1):
            row = bytearray()
            for (r, g, b) in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(row_size - len(row))
            data += row
        header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
        info = struct.pack('<IiiHHIIiiII', 40, self.size, self.size, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        return header + info + bytes(data)


def rotate_symbol(p):
    # Three quarters of a circle, clockwise, with the head at its end.
    cx, cy, r = 31, 32, 13
    for step in range(0, 271):
        a = math.radians(step - 90)
        p.line(round(cx + r * math.cos(a)), round(cy + r * math.sin(a)),
               round(cx + r * math.cos(a)), round(cy + r * math.sin(a)), 2)
    end = math.radians(270 - 90)
    p.arrow_head(round(cx + r * math.cos(end)), round(cy + r * math.sin(end)), 0, -1, 7)


def hflip_symbol(p):
    p.line(14, 31, 49, 31, 2)
    p.arrow_head(14, 31, -1, 0, 8)
    p.arrow_head(49, 31, 1, 0, 8)


def vflip_symbol(p):
    p.line(31, 14, 31, 49, 2)
    p.arrow_head(31, 14, 0, -1, 8)
    p.arrow_head(31, 49, 0, 1, 8)


def swap_symbol(p):
    p.frame(10, 10, 20, 20)
    p.frame(43, 43, 53, 53)
    p.line(24, 24, 39, 39, 2)
    p.arrow_head(24, 24, -1, -1, 7)
    p.arrow_head(40, 40, 1, 1, 7)


def hand_symbol(p):
    # An open hand seen from the palm: four fingers, a thumb and the palm below them.
    fingers = ((22, 18), (27, 14), (32, 14), (37, 17))
    for (x, top) in fingers:
        p.line(x, top, x, 33)
        p.line(x + 4, top, x + 4, 33)
        p.line(x, top, x + 4, top)
    p.line(22, 33, 22, 46)              # left side of the palm
    p.line(41, 33, 41, 40)              # right side, up to the thumb
    p.line(41, 40, 48, 31)              # thumb, outer edge
    p.line(48, 31, 51, 33)
    p.line(51, 33, 44, 46)              # thumb, inner edge down to the wrist
    p.line(22, 46, 26, 52)
    p.line(44, 46, 40, 52)
    p.line(26, 52, 40, 52)              # wrist


PICTURES = {
    'crNormal': (64, None),
    'crRotate': (64, rotate_symbol),
    'crHFlip': (64, hflip_symbol),
    'crVFlip': (64, vflip_symbol),
    'crSwap': (64, swap_symbol),
    'crHand': (64, hand_symbol),
    'cr32': (32, None),
    'cr16': (16, None),
    'cr08': (8, None),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'cursors')
    os.makedirs(out, exist_ok=True)
    for name, (size, symbol) in PICTURES.items():
        p = Picture(size)
        p.brackets()
        if symbol:
            symbol(p)
        with open(os.path.join(out, name + '.bmp'), 'wb') as f:
            f.write(p.bmp())


if __name__ == '__main__':
    main()
