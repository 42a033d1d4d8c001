#!/usr/bin/env python3
"""The program icon, drawn once, and the files made from it.

    tarnwick_icon.py ico OUTPUT.ico   the Windows icon: 32x32 in 2 and in 16
                                      colours, 16x16 in 16 colours
    tarnwick_icon.py png FOLDER       FOLDER/tarnwick-SIZE.png at the sizes a
                                      Linux desktop uses, in full colour

The icon is a card holding a long name (the blue bar) above its short name
(the orange bar), with a double arrow between them. It is drawn as two pixel
maps below, one letter a pixel:

    .  transparent
    K  the card's border
    W  the card
    B  the long name
    O  the short name
    A  the double arrow

The 16-colour images use the standard VGA palette, which has no orange: the
short name is a checkerboard of red and yellow. The 2-colour image is the
32x32 map in black and white. The PNG files give each letter its own colour
and grow the maps by whole pixels, so that every edge stays sharp.
"""

import os
import struct
import sys
import zlib

CARD_32 = """
................................
................................
................................
..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWBBBBBBBBBBBBBBBBBBBBBBWWWK.
.KWWBBBBBBBBBBBBBBBBBBBBBBBBWWK.
.KWWBBBBBBBBBBBBBBBBBBBBBBBBWWK.
.KWWWBBBBBBBBBBBBBBBBBBBBBBWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWAWWWWWWWWWWAWWWWWWWWK.
.KWWWWWWWAWWWWWWWWWWWWAWWWWWWWK.
.KWWWWWWAAAAAAAAAAAAAAAAWWWWWWK.
.KWWWWWAWWWWWWWWWWWWWWWWAWWWWWK.
.KWWWWWWAAAAAAAAAAAAAAAAWWWWWWK.
.KWWWWWWWAWWWWWWWWWWWWAWWWWWWWK.
.KWWWWWWWWAWWWWWWWWWWAWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWOOOOOOOOWWWWWWWWWWWWWWWWWK.
.KWWOOOOOOOOOOWWWWWWWWWWWWWWWWK.
.KWWOOOOOOOOOOWWWWWWWWWWWWWWWWK.
.KWWWOOOOOOOOWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
.KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.
..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..
................................
................................
................................
"""

CARD_16 = """
................
.KKKKKKKKKKKKKK.
KWWWWWWWWWWWWWWK
KWBBBBBBBBBBBBWK
KWBBBBBBBBBBBBWK
KWWWWWWWWWWWWWWK
KWWWAWWWWWWAWWWK
KWWAAAAAAAAAAWWK
KWAWWWWWWWWWWAWK
KWWAAAAAAAAAAWWK
KWWWAWWWWWWAWWWK
KWWWWWWWWWWWWWWK
KWOOOOOOWWWWWWWK
KWOOOOOOWWWWWWWK
KWWWWWWWWWWWWWWK
.KKKKKKKKKKKKKK.
"""

# The standard 16-colour VGA palette in its Windows order, as (red, green, blue).
VGA_PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, RED, YELLOW, BLUE, WHITE = 0, 4, 9, 11, 12, 15
MONO_PALETTE = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]


def vga_colour(letter, x, y):
    if letter == "O":
        return RED if (x + y) % 2 == 0 else YELLOW
    return {".": BLACK, "K": NAVY, "W": WHITE, "B": BLUE, "A": NAVY}[letter]


def mono_colour(letter, x, y):
    return 1 if letter == "W" else 0


def parse_map(text, size):
    rows = text.strip("\n").split("\n")
    if len(rows) != size or any(len(row) != size for row in rows):
        raise ValueError(f"a {size}x{size} pixel map has rows of the wrong length or count")
    if any(letter not in ".KWBOA" for row in rows for letter in row):
        raise ValueError("a pixel map has a letter that stands for no colour")
    return rows


def pack_rows(rows_of_values, bits):
    """Packs rows of values of `bits` each, bottom row first, every row padded
    to a multiple of 4 bytes."""
    data = bytearray()
    for values in reversed(rows_of_values):
        row = 0
        for value in values:
            row = (row << bits) | value
        row_bits = len(values) * bits
        stride = (row_bits + 31) // 32 * 4
        data += (row << (stride * 8 - row_bits)).to_bytes(stride, "big")
    return bytes(data)


def icon_image(rows, palette, bits, colour):
    """One image of an icon file: its header, palette, colours and mask."""
    size = len(rows)
    xor = pack_rows([[colour(letter, x, y) for x, letter in enumerate(row)]
                     for y, row in enumerate(rows)], bits)
    mask = pack_rows([[1 if letter == "." else 0 for letter in row] for row in rows], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + colours + xor + mask


def icon_images():
    """The images as (width, colour count, bits per pixel, data)."""
    card_32 = parse_map(CARD_32, 32)
    card_16 = parse_map(CARD_16, 16)
    return [
        (32, 2, 1, icon_image(card_32, MONO_PALETTE, 1, mono_colour)),
        (32, 16, 4, icon_image(card_32, VGA_PALETTE, 4, vga_colour)),
        (16, 16, 4, icon_image(card_16, VGA_PALETTE, 4, vga_colour)),
    ]


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, _, data in images)


# The full colours of the PNG files, as (red, green, blue, alpha).
TRUE_COLOURS = {
    ".": (0x00, 0x00, 0x00, 0x00),
    "K": (0x1F, 0x4E, 0x79, 0xFF),
    "W": (0xF4, 0xF8, 0xFC, 0xFF),
    "B": (0x2E, 0x75, 0xB6, 0xFF),
    "O": (0xC5, 0x5A, 0x11, 0xFF),
    "A": (0x1F, 0x4E, 0x79, 0xFF),
}

# Each size of the PNG files, and the map it grows from by whole pixels.
PNG_SIZES = {16: 16, 32: 32, 48: 16, 64: 32, 128: 32, 256: 32}


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_file(rows, size):
    """The map `rows` grown to `size` x `size` pixels, as an RGBA PNG file."""
    scale = size // len(rows)
    raw = bytearray()
    for row in rows:
        line = b"".join(bytes(TRUE_COLOURS[letter]) * scale for letter in row)
        raw += (b"\0" + line) * scale  # filter type 0 for each line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def png_files():
    """Each PNG file as (size, data)."""
    maps = {32: parse_map(CARD_32, 32), 16: parse_map(CARD_16, 16)}
    return [(size, png_file(maps[source], size)) for size, source in PNG_SIZES.items()]


USAGE = "usage: tarnwick_icon.py ico OUTPUT.ico | tarnwick_icon.py png FOLDER"


def main(argv):
    if len(argv) != 3 or argv[1] not in ("ico", "png"):
        print(USAGE, file=sys.stderr)
        return 64
    if argv[1] == "ico":
        with open(argv[2], "wb") as out:
            out.write(ico_file(icon_images()))
        return 0
    os.makedirs(argv[2], exist_ok=True)
    for size, data in png_files():
        with open(os.path.join(argv[2], f"tarnwick-{size}.png"), "wb") as out:
            out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
