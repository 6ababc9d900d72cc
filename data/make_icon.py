#!/usr/bin/env python3
"""Draws the program's icon, a cluster of blue houses, as PNG files for the desktop's icon theme and as a
Windows .ico, so that the repository holds no binary artwork and every size comes from one drawing.

Usage: make_icon.py FOLDER SIZE... writes FOLDER/hicolor/NxN/apps/parkmarq.png for each size N (24 bits
per pixel; the 32 x 32 one is also the window's icon) and FOLDER/parkmarq.ico.
"""
import colorsys
import os
import struct
import sys

from make_pictures import png

ICO_SIZES = (16, 32, 48, 256)
CRISP_UP_TO = 32  # sizes drawn with one sample per pixel
BACKGROUND = (255, 255, 255)
OUTLINE = (10, 30, 90)
# left, bottom, width, colour, on a 32 x 32 grid; later houses stand in front.
HOUSES = ((2, 30, 12, (70, 120, 220)), (17, 30, 13, (40, 90, 200)), (9, 18, 12, (90, 150, 240)))


def darker(colour, factor=1.4):
    h, s, v = colorsys.rgb_to_hsv(*(c / 255 for c in colour))
    return tuple(round(c * 255) for c in colorsys.hsv_to_rgb(h, s, v / factor))


def shapes():
    """Filled polygons with an outline, back to front, in grid units."""
    result = []
    for left, bottom, width, colour in HOUSES:
        wall = width * 3 // 4
        top = bottom - wall
        result.append(([(left, top), (left + width, top), (left + width, bottom), (left, bottom)], colour))
        roof = [(left - 1, top), (left + width / 2, top - width / 2), (left + width + 1, top)]
        result.append((roof, darker(colour)))
    return result


def near_edge(px, py, a, b):
    """Within half the outline's width (one grid unit) of the edge from a to b."""
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return (px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2 < 0.25


def bounds(polygon):
    """The polygon's box with its outline: left, top, right, bottom."""
    xs, ys = [x for x, _ in polygon], [y for _, y in polygon]
    return min(xs) - 0.5, min(ys) - 0.5, max(xs) + 0.5, max(ys) + 0.5


def inside(px, py, polygon):
    result = False
    for (ax, ay), (bx, by) in zip(polygon, polygon[1:] + polygon[:1]):
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            result = not result
    return result


def colour_at(px, py, drawing):
    for polygon, fill, (left, top, right, bottom) in reversed(drawing):
        if not (left <= px <= right and top <= py <= bottom):
            continue
        if any(near_edge(px, py, a, b) for a, b in zip(polygon, polygon[1:] + polygon[:1])):
            return OUTLINE
        if inside(px, py, polygon):
            return fill
    return BACKGROUND


def draw(size):
    """Rows of RGB bytes, top first; larger sizes are smoothed by sampling each pixel several times. A
    single sample sits on the pixel's corner, where an outline on a whole coordinate falls, so that the
    small sizes come out crisp, as an aliased painter draws them."""
    drawing = [(polygon, fill, bounds(polygon)) for polygon, fill in shapes()]
    samples = 1 if size <= CRISP_UP_TO else 2
    scale = 32 / size / samples
    offset = 0.5 if samples > 1 else 0
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            total = [0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    colour = colour_at((x * samples + sx + offset) * scale, (y * samples + sy + offset) * scale, drawing)
                    total = [t + c for t, c in zip(total, colour)]
            row += bytes(round(t / samples ** 2) for t in total)
        rows.append(bytes(row))
    return rows


def png_file(size, rows):
    return png(size, size, b"".join(b"\x00" + row for row in rows))


def bmp_entry(size, rows):
    """An icon image as Windows keeps it: a bitmap header with the height doubled for the mask, the
    24-bit pixels bottom row first, then the all-opaque AND mask; rows padded to four bytes."""
    def padded(data):
        return data + b"\x00" * (-len(data) % 4)
    pixels = b"".join(padded(bytes(b for i in range(0, len(row), 3) for b in row[i:i + 3][::-1])) for row in reversed(rows))
    mask = padded(b"\x00" * ((size + 7) // 8)) * size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def ico_file(images):
    """images: (size, data, bits per pixel); 256 pixels is written as 0 in the directory."""
    directory = b""
    offset = 6 + 16 * len(images)
    for size, data, bits in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return struct.pack("<HHH", 0, 1, len(images)) + directory + b"".join(data for _, data, _ in images)


def main(folder, theme_sizes):
    drawn = {size: draw(size) for size in sorted(set(theme_sizes) | set(ICO_SIZES))}
    for size in theme_sizes:
        apps = os.path.join(folder, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(apps, exist_ok=True)
        with open(os.path.join(apps, "parkmarq.png"), "wb") as out:
            out.write(png_file(size, drawn[size]))
    # Vista and later read a PNG inside an icon; only the largest size needs that to stay small.
    images = [(size, png_file(size, drawn[size]) if size == 256 else bmp_entry(size, drawn[size]), 24)
              for size in ICO_SIZES]
    with open(os.path.join(folder, "parkmarq.ico"), "wb") as out:
        out.write(ico_file(images))


if __name__ == "__main__":
    main(sys.argv[1], [int(size) for size in sys.argv[2:]])
