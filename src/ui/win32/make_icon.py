#!/usr/bin/env python3
"""Draws trilo.ico: a chequered flag on a pole, at 16, 32, 48 and 256 pixels.

Run it again after changing the drawing: python3 make_icon.py trilo.ico
"""
import math
import struct
import sys
import zlib


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    s = size / 32.0
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(x, y, colour):
        if 0 <= x < size and 0 <= y < size:
            pixels[y][x] = colour

    # The pole, with a round knob on top.
    pole_x0, pole_x1 = int(3 * s), max(int(3 * s) + 1, int(5 * s))
    for y in range(int(3 * s), size):
        for x in range(pole_x0, pole_x1):
            put(x, y, (90, 90, 96, 255))
    knob_r = 2.2 * s
    for y in range(size):
        for x in range(size):
            if math.hypot(x + 0.5 - 4 * s, y + 0.5 - 2.5 * s) <= knob_r:
                put(x, y, (214, 170, 40, 255))

    # The cloth: checks that ride on a gentle wave.
    left, right = pole_x1, size - max(1, int(1 * s))
    top, height = int(4 * s), int(16 * s)
    check = max(2, int(4 * s))
    for x in range(left, right):
        t = (x - left) / float(right - left)
        lift = int(round(math.sin(t * math.pi * 1.6) * 2.0 * s))
        for dy in range(height):
            y = top + dy - lift
            dark = ((x - left) // check + dy // check) % 2 == 0
            colour = (24, 24, 28, 255) if dark else (246, 246, 246, 255)
            if dy == 0 or dy == height - 1:
                colour = (24, 24, 28, 255)
            put(x, y, colour)
    return pixels


def icon_image(size):
    """One icon image as a BITMAPINFOHEADER, 32-bit BGRA rows and an AND mask."""
    rows = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def png_image(size):
    """One icon image as a PNG, as Windows wants the 256-pixel one (a bitmap
    of that size would be 256 KiB)."""
    raw = bytearray()
    for row in draw(size):
        raw += b'\0' + bytes(c for pixel in row for c in pixel)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def main(path):
    sizes = (16, 32, 48, 256)
    images = [png_image(n) if n >= 256 else icon_image(n) for n in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        # A size of 256 is written as 0 in the directory's byte.
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'trilo.ico')
