#!/usr/bin/env python3
"""Writes the item list's 12 x 12 icons (pick_*.ico) from the pixel drawings
below: one letter a pixel, '.' transparent. Run from any folder; the icons
land beside quillsave.rc."""
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


def icon_bytes(rows):
    size = 12
    assert len(rows) == size and all(len(r) == size for r in rows)
    pixels = b''
    mask = b''
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        bits = 0
        for x, ch in enumerate(row):
            if ch == '.':
                pixels += bytes((0, 0, 0, 0))
                bits |= 0x80 >> (x % 8) << (8 * (x // 8))
            else:
                r, g, b = COLOURS[ch]
                pixels += bytes((b, g, r, 255))
        # 12 mask bits, padded to a 32-bit row
        mask += bytes((bits & 0xFF, (bits >> 8) & 0xFF, 0, 0))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 22)
    return directory + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in ICONS.items():
        with open(os.path.join(here, '..', 'pick_%s.ico' % name), 'wb') as f:
            f.write(icon_bytes(rows))


if __name__ == '__main__':
    main()
