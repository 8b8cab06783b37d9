#!/usr/bin/env python3
"""Draws the uninstaller's icons and bitmaps as 16-colour files.

Run once after changing a picture; the results are committed beside this
script so the Windows build needs nothing but the resource compiler.
Pictures are drawn in palette indices of the standard 16-colour palette.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
TRANSPARENT = -1
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


class Canvas:
    def __init__(self, width, height, fill=WHITE):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0..x1, y0..y1 inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def hline(self, x0, x1, y, colour):
        self.rect(x0, y, x1, y, colour)

    def vline(self, x, y0, y1, colour):
        self.rect(x, y0, x, y1, colour)

    def polyline(self, points, colour, thickness=1):
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            steps = max(abs(xb - xa), abs(yb - ya), 1)
            for s in range(steps + 1):
                x = round(xa + (xb - xa) * s / steps)
                y = round(ya + (yb - ya) * s / steps)
                for t in range(thickness):
                    self.put(x, y + t, colour)


def bmp_rows_4bpp(canvas, transparent_as=WHITE):
    stride = ((canvas.width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            colour = transparent_as if colour == TRANSPARENT else colour
            if x % 2 == 0:
                line[x // 2] |= colour << 4
            else:
                line[x // 2] |= colour
        out += line
    return bytes(out)


def palette_bytes():
    return b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 16, 0)


def write_bmp(path, canvas):
    rows = bmp_rows_4bpp(canvas)
    header_size = 14 + 40 + 64
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(rows), 0, 0, header_size)
    with open(path, "wb") as f:
        f.write(file_header + info_header(canvas.width, canvas.height, 4, len(rows)) + palette_bytes() + rows)


def and_mask(canvas):
    stride = ((canvas.width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour == TRANSPARENT:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def write_ico(path, canvases):
    images = []
    for c in canvases:
        xor = bmp_rows_4bpp(c, transparent_as=BLACK)
        mask = and_mask(c)
        images.append(info_header(c.width, c.height * 2, 4, len(xor) + len(mask)) + palette_bytes() + xor + mask)
    offset = 6 + 16 * len(canvases)
    entries = b""
    for c, data in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(canvases)) + entries + b"".join(images))


# --- check boxes of the component tree (19 x 16) -------------------------

def check_box(mark, interior=WHITE):
    c = Canvas(19, 16, WHITE)
    x0, y0, x1, y1 = 3, 1, 15, 13
    c.hline(x0, x1 - 1, y0, GREY)
    c.vline(x0, y0, y1 - 1, GREY)
    c.hline(x0 + 1, x1 - 2, y0 + 1, BLACK)
    c.vline(x0 + 1, y0 + 1, y1 - 2, BLACK)
    c.hline(x0, x1, y1, WHITE)
    c.vline(x1, y0, y1, WHITE)
    c.hline(x0 + 1, x1 - 1, y1 - 1, SILVER)
    c.vline(x1 - 1, y0 + 1, y1 - 1, SILVER)
    c.rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, interior)
    if mark is not None:
        tick(c, x0 + 3, y0 + 4, mark)
    return c


def tick(c, x, y, colour):
    """The classic seven-pixel-wide check mark, three pixels thick."""
    c.polyline([(x, y + 2), (x + 2, y + 4), (x + 6, y)], colour, thickness=3)


# --- phase check mark of the progress dialog (15 x 13) -------------------

def phase_mark():
    c = Canvas(15, 13, WHITE)
    c.polyline([(1, 6), (5, 10), (13, 2)], BLACK, thickness=2)
    c.polyline([(2, 6), (5, 9), (12, 2)], BLACK, thickness=2)
    return c


# --- side picture of the progress dialog (122 x 220) ---------------------

def side_picture():
    w, h = 122, 220
    c = Canvas(w, h, NAVY)
    # A dithered sky from dark to bright blue, top to bottom.
    for y in range(h):
        level = y / (h - 1)
        for x in range(w):
            threshold = (BAYER[y % 4][x % 4] + 0.5) / 16.0
            c.put(x, y, BLUE if level * 0.9 > threshold else NAVY)
    # A disk drive with an open box on it; items leave the box upward.
    c.rect(16, 150, 105, 176, SILVER)
    c.hline(16, 105, 150, WHITE)
    c.vline(16, 150, 176, WHITE)
    c.hline(16, 105, 176, GREY)
    c.vline(105, 150, 176, GREY)
    c.rect(80, 166, 86, 169, LIME)
    c.hline(24, 60, 168, GREY)
    # Box.
    c.rect(30, 104, 92, 146, OLIVE)
    c.rect(32, 106, 90, 144, YELLOW)
    c.hline(30, 92, 104, BLACK)
    c.hline(30, 92, 146, BLACK)
    c.vline(30, 104, 146, BLACK)
    c.vline(92, 104, 146, BLACK)
    c.polyline([(30, 104), (18, 92)], BLACK)
    c.polyline([(92, 104), (104, 92)], BLACK)
    c.rect(58, 106, 64, 144, OLIVE)
    # Leaving items: three small documents rising along a curve.
    for i, (x, y) in enumerate([(50, 70), (66, 44), (78, 18)]):
        c.rect(x, y, x + 14, y + 18, WHITE)
        c.hline(x, x + 14, y, BLACK)
        c.hline(x, x + 14, y + 18, BLACK)
        c.vline(x, y, y + 18, BLACK)
        c.vline(x + 14, y, y + 18, BLACK)
        for line in range(3):
            c.hline(x + 3, x + 11, y + 5 + line * 4, GREY if i else BLUE)
    c.polyline([(60, 98), (58, 92)], WHITE)
    c.polyline([(74, 66), (72, 62)], WHITE)
    c.polyline([(86, 40), (85, 37)], WHITE)
    # Ground line.
    c.rect(0, 186, w - 1, h - 1, TEAL)
    c.hline(0, w - 1, 186, AQUA)
    return c


# --- icons ---------------------------------------------------------------

def program_icon(size):
    c = Canvas(size, size, TRANSPARENT)
    s = size / 32.0

    def r(x0, y0, x1, y1, colour):
        c.rect(round(x0 * s), round(y0 * s), round(x1 * s), round(y1 * s), colour)

    r(4, 14, 27, 29, BLACK)
    r(5, 15, 26, 28, YELLOW)
    r(14, 15, 17, 28, OLIVE)
    r(4, 11, 27, 13, BLACK)
    r(5, 12, 26, 12, OLIVE)
    # Arrow leaving the box.
    r(13, 4, 18, 11, BLUE)
    for i in range(5):
        r(15 - i - 1, 3 + i, 16 + i + 1, 3 + i, BLUE)
    return c


def stop_icon(size):
    c = Canvas(size, size, TRANSPARENT)
    centre = (size - 1) / 2.0
    for y in range(size):
        for x in range(size):
            dx, dy = abs(x - centre), abs(y - centre)
            if dx + dy <= size * 0.62 and max(dx, dy) <= size * 0.47:
                c.put(x, y, RED)
            if dx + dy <= size * 0.62 + 1 and max(dx, dy) <= size * 0.47 + 1 and c.pixels[y][x] != RED:
                c.put(x, y, MAROON)
    bar_h = max(2, size // 8)
    c.rect(size // 5, size // 2 - bar_h // 2, size - 1 - size // 5, size // 2 + bar_h // 2, WHITE)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "check_off.bmp"), check_box(None))               # 147
    write_bmp(os.path.join(here, "check_on.bmp"), check_box(BLACK))               # 148
    write_bmp(os.path.join(here, "check_part.bmp"), check_box(GREY, SILVER))      # 131
    write_bmp(os.path.join(here, "phase_mark.bmp"), phase_mark())                 # 133
    write_bmp(os.path.join(here, "side_picture.bmp"), side_picture())             # 132
    write_ico(os.path.join(here, "program.ico"), [program_icon(32), program_icon(16)])  # 128
    write_ico(os.path.join(here, "stop.ico"), [stop_icon(32)])                     # 130


if __name__ == "__main__":
    main()
