#!/usr/bin/env python3
"""Writes the item list's icons (pick_*.ico) from the 12 x 12 pixel drawings
below: one letter a pixel, '.' transparent. Each icon holds the drawing at
12 x 12 and smoothly scaled for 125, 150 and 200 % displays. Run from any
folder; the icons land beside quillsave.rc."""
import os
import struct

COLOURS = {
    'k': (40, 40, 40), 'g': (128, 128, 128), 'l': (200, 200, 200), 'w': (255, 255, 255),
    'y': (240, 200, 60), 'o': (190, 140, 30), 'G': (40, 170, 60), 'b': (50, 100, 210),
    'c': (150, 200, 240), 'r': (200, 50, 50), 'm': (60, 140, 90),
}

ICONS = {
    # "." and "..": an arrow up to the parent folder
    'dots': ["............", ".....k......", "....kGk.....", "...kGGGk....", "..kGGGGGk...",
             ".kkkGGGkkk..", "...kGGGk....", "...kGGGk....", "...kGGGkkkk.", "...kGGGGGGk.",
             "...kkkkkkkk.", "............"],
    'folder': ["............", ".kkkk.......", "kyyyyk......", "kyyyyykkkkk.", "koooooooooko",
               "kyyyyyyyyyko", "kyyyyyyyyyko", "kyyyyyyyyyko", "kyyyyyyyyyko", "kyyyyyyyyyko",
               "kkkkkkkkkkk.", "............"],
    'fixed': ["............", "............", "............", ".kkkkkkkkkk.", "kllllllllllk",
              "kllllllllllk", "kggggggggggk", "kgggggggGGgk", "kggggggggggk", ".kkkkkkkkkk.",
              "............", "............"],
    'cdrom': ["....kkkk....", "..kkccllkk..", ".kccllllclk.", ".kcllllllck.", "kcllkkkkllck",
              "klllkwwklllk", "klllkwwklllk", "kcllkkkkllck", ".kcllllllck.", ".klcllllcck.",
              "..kkllcckk..", "....kkkk...."],
    'removable': ["kkkkkkkkkkk.", "kbbklllkbbbk", "kbbklkkkbbbk", "kbbklllkbbbk", "kbbbbbbbbbbk",
                  "kbwwwwwwwwbk", "kbwkkkkkkwbk", "kbwwwwwwwwbk", "kbwkkkkkkwbk", "kbwwwwwwwwbk",
                  "kkkkkkkkkkkk", "............"],
    'remote': ["............", ".kkkkkkkkkk.", "kllllllllllk", "kggggggggGgk", ".kkkkkkkkkk.",
               ".....kk.....", ".....kk.....", ".....kk.....", "kkkkkkkkkkkk", "..k......k..",
               ".kkk....kkk.", ".kkk....kkk."],
    'ram': ["............", ".k.k.k.k.k..", ".k.k.k.k.k..", "kkkkkkkkkkk.", "kmmmmmmmmmk.",
            "kmkkmkkmkkk.", "kmkkmkkmkkk.", "kmmmmmmmmmk.", "kkkkkkkkkkk.", ".k.k.k.k.k..",
            ".k.k.k.k.k..", "............"],
    'file': [".kkkkkkk....", ".kwwwwwkk...", ".kwwwwwklk..", ".kwwwwwkkkk.", ".kwkkkkwwwk.",
             ".kwwwwwwwwk.", ".kwkkkkkkwk.", ".kwwwwwwwwk.", ".kwkkkkkkwk.", ".kwwwwwwwwk.",
             ".kwwwwwwwwk.", ".kkkkkkkkkk."],
}


SIZES = (12, 15, 18, 24)  # 100, 125, 150 and 200 %


def drawing_pixels(rows):
    """The 12 x 12 drawing as rows of premultiplied (r, g, b, a), 0..1."""
    assert len(rows) == 12 and all(len(r) == 12 for r in rows)
    out = []
    for row in rows:
        line = []
        for ch in row:
            if ch == '.':
                line.append((0.0, 0.0, 0.0, 0.0))
            else:
                r, g, b = COLOURS[ch]
                line.append((r / 255, g / 255, b / 255, 1.0))
        out.append(line)
    return out


def scaled(pixels, size):
    """The drawing at size x size, sampled bilinearly (premultiplied, so no
    dark fringe at transparent edges): smooth, never repeated as blocks."""
    src = len(pixels)
    if size == src:
        return pixels

    def at(x, y):
        return pixels[min(max(y, 0), src - 1)][min(max(x, 0), src - 1)]

    out = []
    for ty in range(size):
        sy = (ty + 0.5) * src / size - 0.5
        y0 = int(sy // 1)
        fy = sy - y0
        line = []
        for tx in range(size):
            sx = (tx + 0.5) * src / size - 0.5
            x0 = int(sx // 1)
            fx = sx - x0
            px = [0.0] * 4
            for (dx, dy, w) in ((0, 0, (1 - fx) * (1 - fy)), (1, 0, fx * (1 - fy)),
                                (0, 1, (1 - fx) * fy), (1, 1, fx * fy)):
                c = at(x0 + dx, y0 + dy)
                for i in range(4):
                    px[i] += c[i] * w
            line.append(tuple(px))
        out.append(line)
    return out


def image_bytes(pixels):
    size = len(pixels)
    data = b''
    mask = b''
    row_bytes = (size + 31) // 32 * 4
    for row in reversed(pixels):  # bottom-up, as bitmaps are stored
        bits = bytearray(row_bytes)
        for x, (r, g, b, a) in enumerate(row):
            if a < 1 / 255:
                data += bytes((0, 0, 0, 0))
            else:
                # straight colour from premultiplied
                data += bytes((round(b / a * 255), round(g / a * 255), round(r / a * 255), round(a * 255)))
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(data) + len(mask), 0, 0, 0, 0)
    return header + data + mask


def icon_bytes(rows):
    pixels = drawing_pixels(rows)
    images = [image_bytes(scaled(pixels, size)) for size in SIZES]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b''.join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in ICONS.items():
        with open(os.path.join(here, '..', 'pick_%s.ico' % name), 'wb') as f:
            f.write(icon_bytes(rows))


if __name__ == '__main__':
    main()
