#!/usr/bin/env python3
"""Draws the demo game's pictures into games/demo (run at authoring time; the
PNG files are committed). Plain python3: the PNG files are written with zlib.

  bg.drl.png               the title screen's backdrop (640 x 480)
  logo.drl.png             the title lettering, shown zoomed
  gem.drl.png              a gem that turns (its angle moves)
  veil.drl.png             a panel drawn half transparent
  start.drl.png, colour.drl.png, move.drl.png
                           the clickable buttons' faces
  spinner.drl.frames/      the animated image: frames 0.png .. 7.png and the
                           delay file (milliseconds per frame)
"""
import math
import os
import struct
import sys
import zlib

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "games", "demo")


def png(path, width, height, pixel, alpha=False):
    """Writes a PNG of pixel(x, y) -> (r, g, b) or (r, g, b, a)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y)[: 4 if alpha else 3])

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# A 5 x 7 letter set for the lettering.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    " ": ["00000"] * 7,
}


def lettering(text, scale):
    """The set cells of `text` drawn at `scale`: a function (x, y) -> bool and the size."""
    width = (len(text) * 6 - 1) * scale
    height = 7 * scale

    def lit(x, y):
        col, row = x // scale, y // scale
        letter, cx = divmod(col, 6)
        if letter >= len(text) or cx == 5 or row >= 7:
            return False
        return FONT[text[letter]][row][cx] == "1"

    return lit, width, height


def backdrop():
    # A night sky: dark blue at the top to violet at the bottom, a horizon
    # band and a few stars.
    stars = {((i * 7919) % 640, (i * 104729) % 300) for i in range(60)}

    def pixel(x, y):
        if (x, y) in stars:
            return (255, 255, 220)
        if y >= 400:
            d = (y - 400) // 8
            return (24 + d * 4, 40 + d * 6, 32 + d * 2)
        t = y / 400
        return (int(16 + 70 * t), int(20 + 20 * t), int(64 + 60 * t))

    png(os.path.join(OUT, "bg.drl.png"), 640, 480, pixel)


def logo():
    lit, w, h = lettering("ZUNOPLAY", 4)
    pad = 4

    def pixel(x, y):
        lx, ly = x - pad, y - pad
        if 0 <= lx < w and 0 <= ly < h and lit(lx, ly):
            t = ly / h
            return (255, int(220 - 120 * t), int(80 + 60 * t), 255)
        # A dark outline one cell around the letters, then transparent.
        for dx, dy in ((-2, 0), (2, 0), (0, -2), (0, 2)):
            if 0 <= lx + dx < w and 0 <= ly + dy < h and lit(lx + dx, ly + dy):
                return (30, 10, 40, 255)
        return (0, 0, 0, 0)

    png(os.path.join(OUT, "logo.drl.png"), w + 2 * pad, h + 2 * pad, pixel, alpha=True)


def gem():
    size = 64

    def pixel(x, y):
        dx, dy = x - 31.5, y - 31.5
        if abs(dx) + abs(dy) > 30:
            return (0, 0, 0, 0)
        # Four facets of different light.
        if dx < 0 and dy < 0:
            return (120, 230, 255, 255)
        if dx >= 0 and dy < 0:
            return (60, 170, 240, 255)
        if dx < 0:
            return (40, 120, 210, 255)
        return (20, 70, 160, 255)

    png(os.path.join(OUT, "gem.drl.png"), size, size, pixel, alpha=True)


def veil():
    def pixel(x, y):
        if x < 3 or y < 3 or x >= 317 or y >= 137:
            return (255, 255, 255)
        return (40, 60, 120)

    png(os.path.join(OUT, "veil.drl.png"), 320, 140, pixel)


def button(name, text, face):
    lit, w, h = lettering(text, 3)
    bw, bh = 140, 44
    ox, oy = (bw - w) // 2, (bh - h) // 2

    def pixel(x, y):
        if x < 2 or y < 2 or x >= bw - 2 or y >= bh - 2:
            return (250, 250, 250)
        if lit(x - ox, y - oy) if 0 <= x - ox < w and 0 <= y - oy < h else False:
            return (255, 255, 255)
        shade = 1 - y / bh * 0.4
        return tuple(int(c * shade) for c in face)

    png(os.path.join(OUT, name + ".drl.png"), bw, bh, pixel)


def spinner():
    folder = os.path.join(OUT, "spinner.drl.frames")
    os.makedirs(folder, exist_ok=True)
    size, count = 64, 8
    for frame in range(count):
        def pixel(x, y):
            dx, dy = x - 31.5, y - 31.5
            r = math.hypot(dx, dy)
            if r > 30 or r < 14:
                return (0, 0, 0, 0)
            # Eight spokes; the lit one moves round, the ones behind it fade.
            spoke = int(((math.atan2(dy, dx) + math.pi) / (2 * math.pi)) * count) % count
            age = (frame - spoke) % count
            level = 255 - age * 28
            return (level, int(level * 0.8), 40, 255)

        png(os.path.join(folder, "%d.png" % frame), size, size, pixel, alpha=True)
    with open(os.path.join(folder, "delay"), "w") as f:
        f.write("80\n")


if __name__ == "__main__":
    backdrop()
    logo()
    gem()
    veil()
    button("start", "START", (40, 150, 80))
    button("colour", "COLOUR", (170, 60, 60))
    button("move", "MOVE", (60, 80, 170))
    spinner()
