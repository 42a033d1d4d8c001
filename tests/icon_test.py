#!/usr/bin/env python3
"""The icon's files, read back: icon_test.py PATH/TO/tarnwick_icon.py

The Windows images themselves are checked under Wine, from the program's
resources (resources_test.cpp); this checks what the resource compiler reads
and then throws away (the .ico file's directory and where it says the images
are), and the PNG files a Linux desktop reads.
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

ICON_SCRIPT = None


def run(*args):
    return subprocess.run([sys.executable, ICON_SCRIPT, *args], capture_output=True)


class IcoFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tarnwick.ico")
            result = run("ico", path)
            assert result.returncode == 0, result.stderr.decode()
            with open(path, "rb") as ico:
                cls.data = ico.read()

    def entries(self):
        return [struct.unpack_from("<BBBBHHII", self.data, 6 + 16 * i)
                for i in range(struct.unpack_from("<H", self.data, 4)[0])]

    def test_directory(self):
        self.assertEqual(struct.unpack_from("<HHH", self.data, 0), (0, 1, 3))
        self.assertEqual([entry[:6] for entry in self.entries()],
                         [(32, 32, 2, 0, 1, 1), (32, 32, 16, 0, 1, 4), (16, 16, 16, 0, 1, 4)])

    def test_images_fill_the_file_in_order(self):
        at = 6 + 16 * 3
        for width, height, colours, _, _, bits, size, offset in self.entries():
            with self.subTest(width=width, bits=bits):
                self.assertEqual(offset, at)
                header = struct.unpack_from("<IiiHHI", self.data, offset)
                self.assertEqual(header, (40, width, 2 * height, 1, bits, 0))
                stride = lambda bits: (width * bits + 31) // 32 * 4
                self.assertEqual(size, 40 + 4 * colours + (stride(bits) + stride(1)) * height)
                at += size
        self.assertEqual(at, len(self.data))


def read_png(path):
    """(width, height, rows of RGBA pixels) of an 8-bit RGBA PNG file with
    filter type 0 on every line, as the icon's files are written."""
    with open(path, "rb") as png:
        data = png.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack_from(">I", data, at + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, f"bad CRC in {kind}"
        chunks[kind] = chunks.get(kind, b"") + body
        at += 12 + length
    width, height, depth, colour_type = struct.unpack_from(">IIBB", chunks[b"IHDR"])
    assert (depth, colour_type) == (8, 6), "not 8-bit RGBA"
    raw = zlib.decompress(chunks[b"IDAT"])
    line = 1 + 4 * width
    rows = []
    for y in range(height):
        assert raw[y * line] == 0, "a line with a filter"
        pixels = raw[y * line + 1:(y + 1) * line]
        rows.append([tuple(pixels[x * 4:x * 4 + 4]) for x in range(width)])
    return width, height, rows


class PngFilesTest(unittest.TestCase):
    def test_each_size_shows_the_same_card(self):
        with tempfile.TemporaryDirectory() as folder:
            result = run("png", folder)
            self.assertEqual(result.returncode, 0, result.stderr.decode())
            self.assertEqual(sorted(os.listdir(folder)),
                             sorted(f"tarnwick-{size}.png" for size in (16, 32, 48, 64, 128, 256)))
            pictures = {}
            for size in (16, 32, 48, 64, 128, 256):
                with self.subTest(size=size):
                    width, height, rows = read_png(os.path.join(folder, f"tarnwick-{size}.png"))
                    self.assertEqual((width, height), (size, size))
                    pictures[size] = rows
            # Grown by whole pixels: each 32-pixel map's pixel is a 2x2, 4x4
            # or 8x8 block of one colour in the larger files.
            for size in (64, 128, 256):
                scale = size // 32
                for y in range(32):
                    for x in range(32):
                        self.assertEqual(pictures[size][y * scale][x * scale], pictures[32][y][x])
                        self.assertEqual(pictures[size][y * scale + scale - 1][x * scale + scale - 1],
                                         pictures[32][y][x])
            # The corners are clear, the middle of the card is not.
            self.assertEqual(pictures[32][0][0][3], 0)
            self.assertEqual(pictures[32][16][16][3], 255)


class UsageTest(unittest.TestCase):
    def test_needs_a_kind_and_one_output(self):
        for args in [(), ("ico",), ("ico", "a.ico", "b.ico"), ("bmp", "a.bmp")]:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 64)
                self.assertIn(b"usage: tarnwick_icon.py ico OUTPUT.ico", result.stderr)


if __name__ == "__main__":
    ICON_SCRIPT = sys.argv.pop(1)
    unittest.main()
