#!/usr/bin/env python3
"""Writes the demonstration site's pictures (PNG and GIF), so they can be remade and checked."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(name, width, height, pixel):
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def gif(name, width, height, palette, index):
    """A GIF whose LZW stream sends a clear code before the table would grow: valid and simple."""
    bits = max(2, (len(palette) - 1).bit_length())
    palette = palette + [(0, 0, 0)] * ((1 << bits) - len(palette))
    clear, end = 1 << bits, (1 << bits) + 1
    size = bits + 1
    codes = []
    pixels = [index(x, y) for y in range(height) for x in range(width)]
    for i, p in enumerate(pixels):
        if i % ((1 << bits) - 2) == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    acc, n, out = 0, 0, bytearray()
    for c in codes:
        acc |= c << n
        n += size
        while n >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            n -= 8
    if n:
        out.append(acc & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + bytes(out[i:i + 255]) for i in range(0, len(out), 255))
    data = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    data += b"".join(bytes(c) for c in palette)
    data += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + bytes([bits]) + blocks + b"\x00\x3b"
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def logo(x, y):
    band = (x // 8 + y // 8) % 2
    return (30 + 2 * x, 80 + band * 60, 160 + y * 2)


def photo(x, y):
    sky = y < 120
    hill = y > 120 + 30 * math.sin(x / 40.0)
    if hill:
        return (40, 120 + (x * y) % 40, 40)
    if (x - 250) ** 2 + (y - 50) ** 2 < 400:
        return (250, 220, 60)
    return (120, 170, 230) if sky else (90, 150, 210)


def regions(x, y):
    if x < 70:
        return (200, 60, 60)
    if (x - 110) ** 2 + (y - 50) ** 2 < 900:
        return (60, 160, 60)
    return (60, 60, 200) if x >= 150 else (230, 230, 230)


png("logo.png", 64, 32, logo)
png("photo.png", 320, 200, photo)
png("map.png", 200, 100, regions)
gif("icon.gif", 16, 16, [(255, 255, 255), (220, 120, 0), (0, 0, 0)],
    lambda x, y: 2 if x in (0, 15) or y in (0, 15) else (1 if abs(x - 7.5) + abs(y - 7.5) < 6 else 0))
