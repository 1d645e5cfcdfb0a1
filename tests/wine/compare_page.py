#!/usr/bin/python3
"""Compares two pictures of the same wizard page (the Linux render and the Windows build under Wine) in geometry:
the same window size, and the same layout of the frame, title, pictures, buttons and dots. Text is drawn by
different font engines and faces on the two systems, so the pictures are compared in blocks of 16 x 16 pixels, and
a block counts as different only when its mean brightness differs by more than a glyph's worth.
Prints the measures; exits 1 when the geometry differs.
    compare_page.py LINUX.png WINE.png"""
import struct
import sys
import zlib

BLOCK = 16
BLOCK_LIMIT = 40  # mean brightness difference (0-255) a block may have before it counts as different
SHARE_LIMIT = 0.08  # share of different blocks above which the layouts are taken to differ


def read_png(path):
    """Width, height and rows of grey values of an 8-bit RGB or RGBA PNG without interlacing (what Qt writes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG" % path)
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("%s: unsupported PNG form (depth %d, colour %d)" % (path, depth, colour))
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up = previous[x]
            upLeft = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - upLeft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upLeft)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else upLeft)) & 0xFF
        previous = line
        grey = []
        for x in range(width):
            r, g, b = line[x * channels:x * channels + 3]
            alpha = line[x * channels + 3] if channels == 4 else 255
            # Transparent pixels (the shadow's margin) count as black, as on a dark desktop.
            grey.append((r * 299 + g * 587 + b * 114) // 1000 * alpha // 255)
        rows.append(grey)
    return width, height, rows


def blocks(width, height, rows):
    means = {}
    for by in range(0, height - BLOCK + 1, BLOCK):
        for bx in range(0, width - BLOCK + 1, BLOCK):
            total = sum(sum(rows[y][bx:bx + BLOCK]) for y in range(by, by + BLOCK))
            means[(bx, by)] = total / (BLOCK * BLOCK)
    return means


def main():
    linux, wine = read_png(sys.argv[1]), read_png(sys.argv[2])
    print("linux %dx%d, wine %dx%d" % (linux[0], linux[1], wine[0], wine[1]))
    if linux[:2] != wine[:2]:
        print("different window sizes")
        return 1
    a, b = blocks(*linux), blocks(*wine)
    different = [key for key in a if abs(a[key] - b[key]) > BLOCK_LIMIT]
    share = len(different) / max(1, len(a))
    print("blocks of %dx%d: %d of %d differ by more than %d (%.1f %%, limit %.0f %%)"
          % (BLOCK, BLOCK, len(different), len(a), BLOCK_LIMIT, 100 * share, 100 * SHARE_LIMIT))
    if different:
        xs = [k[0] for k in different]
        ys = [k[1] for k in different]
        print("differences between x %d-%d, y %d-%d" % (min(xs), max(xs) + BLOCK, min(ys), max(ys) + BLOCK))
    return 0 if share <= SHARE_LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
