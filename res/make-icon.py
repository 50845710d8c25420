#!/usr/bin/env python3
"""Draws Pelmora's icon and writes pelmora.ico (16, 32 and 48 pixels, 32-bit colour, each image
stored as PNG, which the system reads in icons since Windows Vista: a tenth of the bytes of a bitmap,
in a program that is measured by its size).

The picture: a framed checker window with a blue title bar, its client area hatched, and a
measuring corner mark over its top-left edge. Run it again after changing the drawing:
    python3 res/make-icon.py
"""
import os
import struct
import zlib

SIZES = (16, 32, 48)


def draw(n):
    """Returns n*n RGBA tuples, row 0 at the top."""
    clear = (0, 0, 0, 0)
    px = [[clear] * n for _ in range(n)]
    s = n / 16.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0 * s)), min(n, int(round(y1 * s)))):
            for x in range(max(0, int(x0 * s)), min(n, int(round(x1 * s)))):
                px[y][x] = colour

    frame = (40, 52, 70, 255)
    title = (36, 110, 210, 255)
    client = (236, 240, 246, 255)
    hatch = (190, 204, 222, 255)
    mark = (232, 92, 40, 255)

    rect(2, 3, 15, 15, frame)          # window frame
    rect(3, 4, 14, 6, title)           # title bar
    rect(3, 6, 14, 14, client)         # client area
    for y in range(int(6 * s), int(round(14 * s))):   # diagonal hatching of the client area
        for x in range(int(3 * s), int(round(14 * s))):
            if (x + y) % max(3, int(4 * s)) == 0:
                px[y][x] = hatch
    rect(0, 1, 7, 2, mark)             # corner mark: the position that the readout shows
    rect(1, 0, 2, 7, mark)
    return px


def png(n, pixels):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b''.join(b'\0' + bytes(c for pixel in row for c in pixel) for row in pixels)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9))
            + chunk(b'IEND', b''))


def main():
    images = [png(n, draw(n)) for n in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, image in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'pelmora.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
