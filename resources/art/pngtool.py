#!/usr/bin/python3
"""Small PNG helpers for scripts/render-art (standard library only).

  pngtool.py flatten FILE...          rewrite RGBA PNGs as RGB on white (pictures without alpha)
  pngtool.py palette FILE...          rewrite RGB PNGs of at most 256 colours with a palette (the same pixels)
  pngtool.py ico OUT.ico PNG...       pack square PNGs into one .ico (PNG-compressed entries)
"""
import struct
import sys
import zlib


def read_png(name):
    data = open(name, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", name
    pos, idat, hdr = 8, b"", None
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            hdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + n
    w, h, depth, ctype, _, _, interlace = hdr
    assert depth == 8 and interlace == 0 and ctype in (2, 6), (name, hdr)
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat)
    stride = w * bpp
    out = bytearray(h * stride)
    prev = bytearray(stride)
    p = 0
    for y in range(h):
        ft = raw[p]
        line = bytearray(raw[p + 1:p + 1 + stride])
        p += 1 + stride
        if ft == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif ft == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 255
        elif ft == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 255
        elif ft == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return w, h, bpp, out


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def write_rgb(name, w, h, rgb):
    stride = w * 3
    raw = b"".join(b"\x00" + bytes(rgb[y * stride:(y + 1) * stride]) for y in range(h))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    open(name, "wb").write(png)


def flatten(name):
    w, h, bpp, px = read_png(name)
    if bpp == 3:
        return
    rgb = bytearray(w * h * 3)
    for i in range(w * h):
        r, g, b, a = px[4 * i:4 * i + 4]
        rgb[3 * i] = (r * a + 255 * (255 - a) + 127) // 255
        rgb[3 * i + 1] = (g * a + 255 * (255 - a) + 127) // 255
        rgb[3 * i + 2] = (b * a + 255 * (255 - a) + 127) // 255
    write_rgb(name, w, h, rgb)


def palette(name):
    """An RGB picture of few colours (the page backgrounds) as a palette PNG: the program keeps it decoded as one
    byte a pixel instead of four. Pictures with alpha or more than 256 colours stay as they are."""
    w, h, bpp, px = read_png(name)
    if bpp != 3:
        return
    index = {}
    for i in range(0, len(px), 3):
        colour = bytes(px[i:i + 3])
        if colour not in index:
            if len(index) == 256:
                return
            index[colour] = len(index)
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        row = px[y * w * 3:(y + 1) * w * 3]
        raw.extend(index[bytes(row[i:i + 3])] for i in range(0, len(row), 3))
    table = b"".join(sorted(index, key=index.get))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0))
           + chunk(b"PLTE", table) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    open(name, "wb").write(png)


def ico(out, pngs):
    blobs = [open(p, "rb").read() for p in pngs]
    head = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    entries, body = b"", b""
    for blob in blobs:
        w, h = struct.unpack(">II", blob[16:24])
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        body += blob
    open(out, "wb").write(head + entries + body)


if __name__ == "__main__":
    if sys.argv[1] == "flatten":
        for n in sys.argv[2:]:
            flatten(n)
    elif sys.argv[1] == "palette":
        for n in sys.argv[2:]:
            palette(n)
    elif sys.argv[1] == "ico":
        ico(sys.argv[2], sys.argv[3:])
    else:
        sys.exit(__doc__)
