#!/usr/bin/env python3
"""Draws the demo templates' pictures as PNG files, so the repository holds no binary artwork."""
import struct
import sys
import zlib

# name: (width, height, device colour); guidance_display is larger than the 199 x 199 picture box.
PICTURES = {
    "guidance_display.png": (260, 300, (240, 200, 40)),
    "fixed_display.png": (120, 90, (60, 160, 230)),
    "nose_in.png": (199, 199, (230, 90, 60)),
    "lateral_bars.png": (150, 180, (90, 200, 110)),
    "gate_sign.png": (180, 120, (200, 200, 200)),
}


def draw(width, height, colour):
    sky, ground, dark = (70, 90, 120), (55, 55, 60), (20, 20, 25)
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            pixel = sky if y < height * 2 // 3 else ground
            # The display housing: a dark box with a coloured face and two guidance bars.
            left, right = width // 4, width * 3 // 4
            top, bottom = height // 6, height // 2
            if left <= x < right and top <= y < bottom:
                pixel = dark
                if left + 4 <= x < right - 4 and top + 4 <= y < bottom - 4:
                    pixel = colour
                    if abs(x - width // 2) < 3 or (y - top) % 12 < 3:
                        pixel = dark
            # The stand's stop line.
            if abs(y - height * 5 // 6) < 2 and width // 8 <= x < width * 7 // 8:
                pixel = (250, 250, 250)
            row += bytes(pixel)
        rows.append(b"\x00" + bytes(row))
    return b"".join(rows)


def png(width, height, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")


def main(folder):
    for name, (width, height, colour) in PICTURES.items():
        with open(f"{folder}/{name}", "wb") as out:
            out.write(png(width, height, draw(width, height, colour)))


if __name__ == "__main__":
    main(sys.argv[1])
