#!/usr/bin/env python3
"""Draws the program's two icons from the pixel maps below and writes them as .ico files.

Each icon is one 32x32 image in 16 colours (4 bits per pixel, the standard VGA palette),
stored as a BITMAPINFOHEADER of double height, the colour bitmap and the transparency mask.
Run it from anywhere; it writes program.ico and document.ico next to itself.
"""

import os
import struct

# The standard VGA palette, in the order the 4-bit pixel values index it.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One letter per pixel; "." is transparent.
COLOURS = {
    "K": 0,   # black
    "r": 1,   # dark red
    "g": 2,   # dark green
    "o": 3,   # olive
    "n": 4,   # navy
    "p": 5,   # purple
    "t": 6,   # teal
    "s": 7,   # silver
    "d": 8,   # grey
    "R": 9,   # red
    "G": 10,  # green
    "Y": 11,  # yellow
    "B": 12,  # blue
    "M": 13,  # magenta
    "C": 14,  # cyan
    "W": 15,  # white
}

# A purple magnolia (木蓮) blossom on its branch, with a furry bud.
PROGRAM = [
    "................................",
    "................................",
    "...............KK...............",
    "..............KWWK..............",
    ".............KWWWsK.............",
    ".............KWWWsK.............",
    ".............KWWWWsK............",
    "....KKK......KWWWWsK.....KKK....",
    "....KWMK.....KWWWWsK....KMWK....",
    "....KMWMK...KMWWWWsMK..KMWMK....",
    "....KMMWMK..KMMWWsMMK.KMWMMK....",
    ".....KMMpMK.KMMWWMMMKKMpMMK.....",
    ".....KpMMppKMMMWMMMMMKppMpK.....",
    ".....KppMppKMMMWMMMMMKppMpK.....",
    "......KpppKMMMMWMMMMMMKppK......",
    "......KpppKpMMMWMMMMMpKppK......",
    "......KpppKpppMMMMMMppKppK......",
    ".......KppKppppMMMMpppKpK.......",
    ".......KppKppppppppppKppK.......",
    "........KpKppppppppppKpK........",
    ".........KKppppppppppKK.........",
    "..........KppppppppppK..........",
    "...........KgKppppppKgK.........",
    "...........KGgKppppKgGK.........",
    "............KGggKKKggK.....KKK..",
    ".............KgGGggK....KKKGGgK.",
    "..............KorK....KKgGGgggK.",
    ".............KorK...KKgGGggggK..",
    ".............KorK.KKgGGgggggK...",
    "............KorKKKGGgggggKKK....",
    "...........KorKggggggKKKK.......",
    "..........KorK.KKKKKK...........",
]

# A sheet of writing paper with a folded corner, a red heading and lines of text.
DOCUMENT = [
    "................................",
    ".....KKKKKKKKKKKKKKKKK..........",
    ".....KWWWWWWWWWWWWWWWKK.........",
    ".....KWWWWWWWWWWWWWWWKsK........",
    ".....KWWRRRRRRRRWWWWWKWsK.......",
    ".....KWWWWWWWWWWWWWWWKWWsK......",
    ".....KWWWWWWWWWWWWWWWKWWWsK.....",
    ".....KWWWWWWWWWWWWWWWKKKKKKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnWnnnnnnWnnnnnWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnnWnnnnWnnnnnWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnnnnWnnnnnnWWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnWnnnnnnnnWnnnWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnnnnnWnnnWWWWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnWnnnnnnnWnnnnWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnnnWnnnnnnnnWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnWnnnnnnWWWWWWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnnnnWnnnnnWnnnWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWnnnnWnnnnnWWWWWWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KWWWWWWWWWWWWWWWWWWWWKd....",
    ".....KKKKKKKKKKKKKKKKKKKKKKd....",
    "......ddddddddddddddddddddddd...",
]

SIZE = 32


def row_bytes(bits_per_pixel):
    """Bytes in one bitmap row, padded to a multiple of four."""
    return (SIZE * bits_per_pixel + 31) // 32 * 4


def encode_icon(art):
    if len(art) != SIZE or any(len(row) != SIZE for row in art):
        raise ValueError("every pixel map must be 32 rows of 32 pixels")

    xor = bytearray()
    mask = bytearray()
    # Bitmaps are stored bottom-up.
    for row in reversed(art):
        colour_row = bytearray(row_bytes(4))
        mask_row = bytearray(row_bytes(1))
        for x, ch in enumerate(row):
            if ch == ".":
                # A transparent pixel: black in the colour bitmap, set in the mask.
                mask_row[x // 8] |= 0x80 >> (x % 8)
                value = 0
            else:
                value = COLOURS[ch]
            colour_row[x // 2] |= value << 4 if x % 2 == 0 else value
        xor += colour_row
        mask += mask_row

    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,               # header size
        SIZE, SIZE * 2,   # the height covers the colour bitmap and the mask
        1, 4,             # planes, bits per pixel
        0,                # BI_RGB
        len(xor) + len(mask),
        0, 0,
        16, 0,
    )
    image = header + palette + bytes(xor) + bytes(mask)

    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, art in (("program.ico", PROGRAM), ("document.ico", DOCUMENT)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(encode_icon(art))


if __name__ == "__main__":
    main()
