#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (32-bit images with alpha, several
sizes). The .ico files are committed; run this only after changing a drawing:

    python3 rc/icons/make_icons.py rc/icons

Pictures are drawn in a 0..1 square, rasterised with 4x4 supersampling for smooth edges.
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 24, 32, 48)
SUPER = 4

PAPER = (255, 255, 255, 255)
PAPER_EDGE = (96, 104, 120, 255)
TEXT = (150, 160, 176, 255)
BIND = (24, 84, 178, 255)
BIND_DARK = (12, 48, 112, 255)
ARROW = (222, 110, 20, 255)
PRINTER = (72, 78, 90, 255)
PRINTER_LIGHT = (130, 138, 150, 255)
PDF_RED = (200, 30, 36, 255)


class Canvas:
    def __init__(self, size):
        self.n = size * SUPER
        self.px = [[(0, 0, 0, 0)] * self.n for _ in range(self.n)]

    def _cover(self, x0, y0, x1, y1):
        n = self.n
        return (max(0, int(x0 * n)), max(0, int(y0 * n)), min(n, int(x1 * n + 0.999)),
                min(n, int(y1 * n + 0.999)))

    def rect(self, x0, y0, x1, y1, colour):
        a, b, c, d = self._cover(x0, y0, x1, y1)
        for y in range(b, d):
            for x in range(a, c):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, width, colour):
        self.rect(x0, y0, x1, y0 + width, colour)
        self.rect(x0, y1 - width, x1, y1, colour)
        self.rect(x0, y0, x0 + width, y1, colour)
        self.rect(x1 - width, y0, x1, y1, colour)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        a, b, c, d = self._cover(min(xs), min(ys), max(xs), max(ys))
        for y in range(b, d):
            py = (y + 0.5) / self.n
            for x in range(a, c):
                px = (x + 0.5) / self.n
                inside = False
                j = len(points) - 1
                for i in range(len(points)):
                    xi, yi = points[i]
                    xj, yj = points[j]
                    if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.px[y][x] = colour

    def pixels(self):
        """Box-filters the supersampled picture down to the icon size (premultiplied)."""
        size = self.n // SUPER
        out = []
        for y in range(size):
            row = []
            for x in range(size):
                r = g = b = a = 0
                for sy in range(SUPER):
                    for sx in range(SUPER):
                        pr, pg, pb, pa = self.px[y * SUPER + sy][x * SUPER + sx]
                        r += pr * pa
                        g += pg * pa
                        b += pb * pa
                        a += pa
                if a:
                    row.append((r // a, g // a, b // a, a // (SUPER * SUPER)))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out


def sheet(c, x0, y0, x1, y1, size):
    edge = max(1.0 / size, 0.04)
    c.rect(x0, y0, x1, y1, PAPER_EDGE)
    c.rect(x0 + edge, y0 + edge, x1 - edge, y1 - edge, PAPER)
    return edge


def text_lines(c, x0, y0, x1, y1, count):
    step = (y1 - y0) / count
    for i in range(count):
        y = y0 + i * step + step * 0.3
        c.rect(x0, y, x1 if i % 3 != 2 else x0 + (x1 - x0) * 0.6, y + step * 0.35, TEXT)


def arrow_horizontal(c, y, x0, x1, head):
    c.rect(x0, y - head * 0.25, x1, y + head * 0.25, ARROW)
    c.polygon([(x1 - head, y - head), (x1 + head * 0.2, y), (x1 - head, y + head)], ARROW)
    c.polygon([(x0 + head, y - head), (x0 - head * 0.2, y), (x0 + head, y + head)], ARROW)


def arrow_vertical(c, x, y0, y1, head):
    c.rect(x - head * 0.25, y0, x + head * 0.25, y1, ARROW)
    c.polygon([(x - head, y1 - head), (x, y1 + head * 0.2), (x + head, y1 - head)], ARROW)
    c.polygon([(x - head, y0 + head), (x, y0 - head * 0.2), (x + head, y0 + head)], ARROW)


def long_edge(size):
    """A portrait sheet bound along its left (long) edge; pages turn sideways."""
    c = Canvas(size)
    sheet(c, 0.22, 0.04, 0.86, 0.96, size)
    c.rect(0.14, 0.04, 0.30, 0.96, BIND)
    for i in range(5 if size >= 24 else 3):
        y = 0.12 + i * (0.76 / (4 if size >= 24 else 2))
        c.rect(0.18, y - 0.03, 0.26, y + 0.03, BIND_DARK)
    text_lines(c, 0.38, 0.12, 0.78, 0.56 if size >= 32 else 0.88, 4 if size >= 32 else 3)
    if size >= 32:
        arrow_horizontal(c, 0.76, 0.40, 0.76, 0.08)
    return c


def short_edge(size):
    """A portrait sheet bound along its top (short) edge; pages flip over the top."""
    c = Canvas(size)
    sheet(c, 0.14, 0.14, 0.86, 0.96, size)
    c.rect(0.14, 0.06, 0.86, 0.22, BIND)
    for i in range(4 if size >= 24 else 2):
        x = 0.24 + i * (0.52 / (3 if size >= 24 else 1))
        c.rect(x - 0.03, 0.10, x + 0.03, 0.18, BIND_DARK)
    if size >= 32:
        text_lines(c, 0.24, 0.30, 0.56, 0.90, 5)
        arrow_vertical(c, 0.72, 0.34, 0.86, 0.08)
    else:
        text_lines(c, 0.26, 0.30, 0.74, 0.90, 4)
    return c


def program(size):
    """A PDF sheet going into a printer."""
    c = Canvas(size)
    sheet(c, 0.24, 0.02, 0.76, 0.60, size)
    c.polygon([(0.62, 0.02), (0.76, 0.02), (0.76, 0.16)], PAPER_EDGE)
    c.rect(0.28, 0.22, 0.72, 0.38, PDF_RED)
    if size >= 32:
        text_lines(c, 0.32, 0.42, 0.68, 0.58, 2)
    c.rect(0.04, 0.48, 0.96, 0.90, PRINTER)
    c.rect(0.10, 0.54, 0.90, 0.60, PRINTER_LIGHT)
    c.rect(0.20, 0.74, 0.80, 0.98, PAPER_EDGE)
    c.rect(0.24, 0.74, 0.76, 0.94, PAPER)
    c.rect(0.78, 0.66, 0.88, 0.72, (80, 200, 90, 255))
    return c


def image_bytes(canvas):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    pix = canvas.pixels()
    size = len(pix)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(pix):
        bits = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, draw):
    images = [image_bytes(draw(size)) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    Path(path).write_bytes(bytes(out))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    write_ico(folder / "binding-long-edge.ico", long_edge)
    write_ico(folder / "binding-short-edge.ico", short_edge)
    write_ico(folder / "norvane.ico", program)


if __name__ == "__main__":
    main()
