#!/usr/bin/env python3
"""Writes app/horavx.ico, the program icon: a small wall calendar (red binding with two
rings, a white page with a grid of days, today's square in yellow) at 16, 24, 32, 48 and
64 pixels, 32-bit with alpha. Run from the repository root; the output is committed."""
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, color):
        for y in range(max(0, int(round(y0 * s))), min(size, int(round(y1 * s)))):
            for x in range(max(0, int(round(x0 * s))), min(size, int(round(x1 * s)))):
                px[y][x] = color

    dark = (60, 60, 60, 255)
    rect(2, 4, 30, 30, dark)                 # outline
    rect(3, 5, 29, 29, (255, 255, 255, 255))  # page
    rect(3, 5, 29, 11, (200, 40, 40, 255))    # binding
    for rx in (9, 21):                       # rings
        rect(rx, 2, rx + 2, 8, dark)
    # 4 x 3 grid of days; Sunday column red, one day yellow (today)
    for row in range(3):
        for col in range(4):
            x, y = 5 + col * 6, 13 + row * 5
            color = (90, 90, 90, 255)
            if col == 0:
                color = (220, 50, 50, 255)
            if row == 1 and col == 2:
                rect(x - 1, y - 1, x + 5, y + 4, (255, 210, 0, 255))
                color = (40, 40, 40, 255)
            rect(x, y, x + 4, y + 3, color)
    return px


def dib(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(c for r, g, b, a in px[y] for c in (b, g, r, a)) for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + b'\0' * (mask_row * size)


def main(out):
    sizes = [16, 24, 32, 48, 64]
    images = [dib(n) for n in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, 'wb') as f:
        f.write(data + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'app/horavx.ico')
