#!/usr/bin/env python3
"""Turns an X window dump (xwd, or Xvfb's -fbdir screen file) of a 24- or
32-bit TrueColor screen into a PNG. Used by scripts/install-check.sh, which
runs in a chroot without ImageMagick.
    xwd-to-png.py SCREEN.xwd OUT.png"""
import struct
import sys
import zlib


def main(src, dst):
    data = open(src, "rb").read()
    h = struct.unpack(">25I", data[:100])
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bits_per_pixel, bytes_per_line = h[7], h[11], h[12]
    red_mask, green_mask, blue_mask, ncolors = h[14], h[15], h[16], h[19]
    if bits_per_pixel not in (24, 32):
        sys.exit("xwd-to-png: only 24 and 32 bits per pixel are handled")
    step = bits_per_pixel // 8
    pixels = data[header_size + ncolors * 12:]
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        line = pixels[y * bytes_per_line:(y * bytes_per_line) + width * step]
        for x in range(width):
            chunk = line[x * step:(x + 1) * step]
            v = int.from_bytes(chunk, "little" if order == "<" else "big")
            rows += bytes(((v & red_mask) >> rs, (v & green_mask) >> gs, (v & blue_mask) >> bs))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b"")
    open(dst, "wb").write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
