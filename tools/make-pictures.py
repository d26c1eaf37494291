#!/usr/bin/env python3
"""Draws Tonewell's tree pictures and program icon from the character maps below and writes
them as Windows bitmaps (24-bit BMP) and an icon (32x32 and 16x16) into res/pictures/.

Run it again after changing a map; the written files are committed beside this script."""

import os
import struct
import sys

PALETTE = {
    '.': None,               # background: the tree's window colour
    'k': (0, 0, 0),
    'g': (128, 128, 128),
    'l': (192, 192, 192),
    'w': (255, 255, 255),
    'y': (255, 214, 90),     # folder
    'o': (214, 160, 40),     # folder shade
    'b': (40, 80, 200),      # notes, SoundFont label
    'r': (200, 40, 40),      # drum
    'n': (0, 130, 60),       # circuit board
    'c': (60, 170, 220),     # sound waves
}
BACKGROUND = (255, 255, 255)

PICTURES = {
    'folder_open': [
        "................",
        "................",
        ".oooo...........",
        "oyyyyo..........",
        "oyyyyyoooooo....",
        "oyyyyyyyyyyo....",
        "oyyookkkkkkkkkk.",
        "oyyokyyyyyyyyyk.",
        "oyokyyyyyyyyyk..",
        "oyokyyyyyyyyyk..",
        "ookyyyyyyyyyk...",
        "ookyyyyyyyyyk...",
        "okkkkkkkkkkk....",
        "................",
        "................",
        "................",
    ],
    'folder': [
        "................",
        "................",
        ".oooo...........",
        "oyyyyo..........",
        "oyyyyyoooooooo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oyyyyyyyyyyyyo..",
        "oooooooooooooo..",
        "................",
        "................",
        "................",
    ],
    'melodic': [
        "................",
        ".oooo...........",
        "oyyyyo..........",
        "oyyyyyoooooooo..",
        "oyyyyyyybbbbbo..",
        "oyyyyyyybyyybo..",
        "oyyyyyyybyyybo..",
        "oyyyyyyybyyybo..",
        "oyyyyyyybyyybo..",
        "oyyyyybbbybbbo..",
        "oyyyybbbbbbbbo..",
        "oyyyyybbbybbbo..",
        "oooooooooooooo..",
        "................",
        "................",
        "................",
    ],
    'percussion': [
        "................",
        ".oooo...........",
        "oyyyyo..........",
        "oyyyyyoooooooo..",
        "oyyykyyyyyykyo..",
        "oyyyykyyyykyyo..",
        "oyyrrrrrrrrryo..",
        "oyrwwwwwwwwwro..",
        "oyrrrrrrrrrrro..",
        "oyrlrlrlrlrlro..",
        "oyrrrrrrrrrrro..",
        "oyyrrrrrrrrryo..",
        "oooooooooooooo..",
        "................",
        "................",
        "................",
    ],
    'soundfont': [
        "................",
        "..kkkkkkkkkkk...",
        "..kwwwwwwwwwkk..",
        "..kwwwwwwwwwkwk.",
        "..kwbbbbbbwwkkkk",
        "..kwbwwwwbwwwwwk",
        "..kwbwwwwbwwwwwk",
        "..kwbwwwwbwwwwwk",
        "..kwbwwwwbwwwwwk",
        "..kbbwwwbbwwwwwk",
        "..kbbwwwbbwwwwwk",
        "..kwwwwwwwwwwwwk",
        "..kwbbbbbbbbbbwk",
        "..kwwwwwwwwwwwwk",
        "..kkkkkkkkkkkkkk",
        "................",
    ],
    # A SoundFont page torn across, with a red cross: its preset list can't be read.
    'damaged': [
        "................",
        "..kkkkkkkkkkk...",
        "..kwwwwwwwwwkk..",
        "..kwwwwwwwwwkwk.",
        "..kwbbbbbbwwkkkk",
        "..kwbwwwwbwwwwwk",
        "..kk.kkk.kkk.kkk",
        "...k.k.k.k.k.k..",
        "..kk.kk.rrkkrrk.",
        "..kbbwww.rrrrwwk",
        "..kbbwwwwwrrwwwk",
        "..kwwwwwwrrrrwwk",
        "..kwbbbbrrbbrrwk",
        "..kwwwwwwwwwwwwk",
        "..kkkkkkkkkkkkkk",
        "................",
    ],
    'wave': [
        "................",
        ".......k........",
        "......kk....c...",
        ".....kgk..c..c..",
        "....kggk...c..c.",
        "kkkkgggk.c..c.c.",
        "kllkgggk..c.c..c",
        "kllkgggk..c.c..c",
        "kllkgggk..c.c..c",
        "kkkkgggk.c..c.c.",
        "....kggk...c..c.",
        ".....kgk..c..c..",
        "......kk....c...",
        ".......k........",
        "................",
        "................",
    ],
    'device': [
        "................",
        "................",
        "................",
        "kkkkkkkkkkkkkkk.",
        "knnnnnnnnnnnnnk.",
        "knkkknnnnnlllnk.",
        "knkkknnnnnlllnk.",
        "knkkknngnnnnnnk.",
        "knnnnnngnnkknnk.",
        "knnngggnnnkknnk.",
        "knnnnnnnnnnnnnk.",
        "kkkkkkkkkkkkkkk.",
        "..lll.lll.lll...",
        "..lll.lll.lll...",
        "................",
        "................",
    ],
    'soft_device': [
        "................",
        "....cc..........",
        "...c..c...c.....",
        "..c....c.c.c....",
        ".c......c...c..c",
        ".............cc.",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kllllllllllllk.",
        ".klkkkklllllllk.",
        ".klkkkkllnnnllk.",
        ".klkkkklllllllk.",
        ".kllllllllllllk.",
        ".kkkkkkkkkkkkkk.",
        "..kk........kk..",
        "................",
    ],
    'midi_page': [
        "................",
        "................",
        "kkkkkkkkkkkkkkkk",
        "kwkkwkkwwkkwkkwk",
        "kwkkwkkwwkkwkkwk",
        "kwkkwkkwwkkwkkwk",
        "kwkkwkkwwkkwkkwk",
        "kwwkwwkwwkwwkwwk",
        "kwwkwwkwwkwwkwwk",
        "kwwkwwkwwkwwkwwk",
        "kwwkwwkwwkwwkwwk",
        "kwwkwwkwwkwwkwwk",
        "kkkkkkkkkkkkkkkk",
        "................",
        "................",
        "................",
    ],
}

# Resource number -> picture, as the resource script names them.
BITMAPS = {
    'device.bmp': 'device',
    'midi_page.bmp': 'midi_page',
    'melodic.bmp': 'melodic',
    'percussion.bmp': 'percussion',
    'folder_open.bmp': 'folder_open',
    'folder.bmp': 'folder',
    'wave.bmp': 'wave',
    'soundfont.bmp': 'soundfont',
    'damaged.bmp': 'damaged',
    'soft_device.bmp': 'soft_device',
}


def pixels(name, scale=1):
    rows = PICTURES[name]
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
    out = []
    for row in rows:
        line = []
        for ch in row:
            line.extend([PALETTE[ch]] * scale)
        out.extend([line] * scale)
    return out


def bmp(name):
    grid = pixels(name)
    width = height = 16
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(grid):
        line = bytearray()
        for colour in row:
            r, g, b = colour or BACKGROUND
            line += bytes((b, g, r))
        data += line + b'\0' * (stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def icon_image(name, scale):
    grid = pixels(name, scale)
    size = 16 * scale
    xor = bytearray()
    for row in reversed(grid):
        for colour in row:
            if colour is None:
                xor += b'\0\0\0\0'
            else:
                r, g, b = colour
                xor += bytes((b, g, r, 255))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(grid):
        bits = bytearray(mask_stride)
        for x, colour in enumerate(row):
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return size, info + bytes(xor) + bytes(mask)


def ico(name):
    images = [icon_image(name, 2), icon_image(name, 1)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'pictures')
    os.makedirs(folder, exist_ok=True)
    for file, name in BITMAPS.items():
        with open(os.path.join(folder, file), 'wb') as f:
            f.write(bmp(name))
    with open(os.path.join(folder, 'tonewell.ico'), 'wb') as f:
        f.write(ico('soundfont'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
