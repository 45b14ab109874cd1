#!/usr/bin/env python3
"""Draws Keyrack's application icon and writes res/keyrack.ico (16, 24, 32, 48 and 256 px).

The drawing: a dark rounded rack holding a 2 x 2 grid of light key caps, the top-left cap in
the accent colour. Every size is drawn from the same shapes with 4 x 4 supersampling, so the
small sizes stay crisp. Standard library only; run it again after changing the drawing:

    python3 res/make_icon.py [output.ico]
"""
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
SUPERSAMPLE = 4

RACK = (0x2B, 0x2D, 0x33)
RACK_EDGE = (0x4A, 0x4E, 0x58)
CAP = (0xF2, 0xF3, 0xF5)
CAP_SHADE = (0xB9, 0xBD, 0xC6)
ACCENT = (0x3D, 0x8B, 0xF2)
ACCENT_SHADE = (0x1F, 0x5F, 0xB8)


def rounded_rect(x0, y0, x1, y1, radius):
    """A filled rounded rectangle in unit coordinates (0..1) as an inside test."""

    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside


def shapes():
    """Back to front: (inside test, colour)."""
    out = [
        (rounded_rect(0.02, 0.02, 0.98, 0.98, 0.20), RACK_EDGE),
        (rounded_rect(0.06, 0.06, 0.94, 0.94, 0.17), RACK),
    ]
    cells = ((0.14, 0.14), (0.53, 0.14), (0.14, 0.53), (0.53, 0.53))
    for index, (x, y) in enumerate(cells):
        face, shade = (ACCENT, ACCENT_SHADE) if index == 0 else (CAP, CAP_SHADE)
        # The cap's lower rim, then its face set a little higher: a key seen from the front.
        out.append((rounded_rect(x, y + 0.02, x + 0.33, y + 0.33, 0.07), shade))
        out.append((rounded_rect(x, y, x + 0.33, y + 0.28, 0.07), face))
    return out


def render(size):
    """RGBA rows, top to bottom, each a bytearray of size * 4."""
    layers = shapes()
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = bytearray(size * 4)
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                y = (py + (sy + 0.5) / n) / size
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    colour = None
                    for inside, c in reversed(layers):
                        if inside(x, y):
                            colour = c
                            break
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1.0
            if a > 0:
                row[px * 4 + 0] = round(r / a)
                row[px * 4 + 1] = round(g / a)
                row[px * 4 + 2] = round(b / a)
                row[px * 4 + 3] = round(255 * a / (n * n))
        rows.append(row)
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, rows):
    """32-bit BGRA bitmap, bottom-up, followed by its 1-bit transparency mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for px in range(size):
            r, g, b, a = row[px * 4:px * 4 + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for px in range(size):
            if row[px * 4 + 3] == 0:
                line[px // 8] |= 0x80 >> (px % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "keyrack.ico")
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(size, rows) if size >= 256 else dib(size, rows)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
