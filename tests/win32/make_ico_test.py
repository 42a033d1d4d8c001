#!/usr/bin/env python3
"""The icon writer's file, read back: make_ico_test.py PATH/TO/make_ico.py

The images themselves are checked under Wine, from the program's resources
(resources_test.cpp); this checks what the resource compiler reads and then
throws away: the file's directory and where it says the images are.
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

MAKE_ICO = None


def run(*args):
    return subprocess.run([sys.executable, MAKE_ICO, *args], capture_output=True)


class IcoFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "tarnwick.ico")
            result = run(path)
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


class UsageTest(unittest.TestCase):
    def test_needs_one_output(self):
        for args in [(), ("a.ico", "b.ico")]:
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 64)
                self.assertIn(b"usage: make_ico.py OUTPUT.ico", result.stderr)


if __name__ == "__main__":
    MAKE_ICO = sys.argv.pop(1)
    unittest.main()
