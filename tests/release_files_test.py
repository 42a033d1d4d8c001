#!/usr/bin/env python3
"""Checks the files that ship beside the programs.

    release_files_test.py TARNWICK_LIST SOURCE_DIR
    release_files_test.py --windows-text FILE...   (only the last check)

- the manual of tarnwick-list says what its --help says: the synopsis, the
  description, every option and every exit status, word for word, and the
  version;
- both manuals format without a warning from groff;
- the Windows readme is UTF-8 with a byte-order mark and CR LF line ends, so
  that Notepad shows it.
"""

import re
import subprocess
import sys
import unittest
from pathlib import Path

TARNWICK_LIST = ""
SOURCE_DIR = Path()


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=False)


def formatted_manual(page):
    """The manual as man shows it, each paragraph on one line (no hyphens
    from line breaks), with no bold or underlining."""
    result = run("groff", "-k", "-man", "-Tutf8", "-P-cbou", "-rLL=1000n", "-ww", str(page))
    if result.returncode != 0 or result.stderr:
        raise AssertionError(f"groff fails on {page}:\n{result.stderr}")
    return result.stdout


def sections(text):
    """Section title -> the lines under it."""
    found = {}
    current = None
    for line in text.splitlines():
        if re.fullmatch(r"[A-Z][A-Z ]*", line):
            current = found.setdefault(line, [])
        elif current is not None:
            current.append(line)
    return found


def manual_entries(lines):
    """The tagged paragraphs of a section: term -> text."""
    entries = {}
    term = None
    for line in lines:
        if re.match(r" {7}\S", line):
            # A short term shares its line with its text.
            term, _, text = line.strip().partition("   ")
            entries[term] = " ".join(text.split())
        elif re.match(r" {14}\S", line) and term is not None:
            entries[term] = " ".join((entries[term] + " " + line).split())
    return entries


def help_entries(lines):
    """The option or status lines of --help: term -> text, with the lines that
    carry an entry's text on joined to it."""
    entries = {}
    term = None
    for line in lines:
        match = re.fullmatch(r" +(\S.*?)  +(\S.*)", line)
        if match:
            term = match.group(1)
            entries[term] = match.group(2)
        elif term is not None and line.startswith(" "):
            entries[term] += " " + line.strip()
    return entries


class TarnwickListManual(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        result = run(TARNWICK_LIST, "--help")
        assert result.returncode == 0, result.stderr
        paragraphs = result.stdout.split("\n\n")
        cls.usage, _, cls.description = paragraphs[0].partition("\n")
        cls.options = help_entries(paragraphs[1].splitlines())
        status_title, *status_lines = paragraphs[2].splitlines()
        assert status_title == "Exit status:", status_title
        cls.statuses = help_entries(status_lines)
        cls.version = run(TARNWICK_LIST, "--version").stdout.splitlines()[0]
        cls.manual = sections(formatted_manual(SOURCE_DIR / "data/man/tarnwick-list.1"))

    def test_synopsis_is_the_usage_line(self):
        self.assertEqual("Usage: " + self.manual["SYNOPSIS"][0].strip(), self.usage)

    def test_description_begins_with_what_help_says(self):
        first_paragraph = self.manual["DESCRIPTION"][0]
        self.assertEqual(" ".join(first_paragraph.split()), " ".join(self.description.split()))

    def test_same_options(self):
        self.assertEqual(len(self.options), 5)
        self.assertEqual(manual_entries(self.manual["OPTIONS"]), self.options)

    def test_same_exit_statuses(self):
        self.assertEqual(list(self.statuses), ["0", "1", "2"])
        self.assertEqual(manual_entries(self.manual["EXIT STATUS"]), self.statuses)

    def test_same_version(self):
        source = (SOURCE_DIR / "data/man/tarnwick-list.1").read_text(encoding="utf-8")
        title = re.search(r'^\.TH .*"Tarnwick ([0-9.]+)"', source, re.MULTILINE)
        self.assertIsNotNone(title)
        self.assertEqual(self.version, "tarnwick-list " + title.group(1))


class WindowManual(unittest.TestCase):
    def test_formats_cleanly_and_names_the_console_program(self):
        manual = sections(formatted_manual(SOURCE_DIR / "data/man/tarnwick.1"))
        self.assertEqual(manual["SYNOPSIS"][0].strip(), "tarnwick")
        self.assertIn("tarnwick-list(1)", " ".join(manual["SEE ALSO"]))


def windows_text_faults(data):
    """What keeps `data` from reading well in Notepad, as a list of faults."""
    faults = []
    if not data.startswith(b"\xef\xbb\xbf"):
        faults.append("no UTF-8 byte-order mark")
    try:
        data.decode("utf-8")
    except UnicodeDecodeError as error:
        faults.append(f"not UTF-8: {error}")
    lines = data.split(b"\n")[:-1]
    bare = [number for number, line in enumerate(lines, 1) if not line.endswith(b"\r")]
    if bare:
        faults.append(f"line {bare[0]} ends in a line feed without CR")
    if b"\r" in data.replace(b"\r\n", b""):
        faults.append("a carriage return without a line feed")
    if not data.endswith(b"\r\n"):
        faults.append("the last line has no CR LF")
    return faults


class WindowsReadme(unittest.TestCase):
    def test_notepad_reads_it(self):
        path = SOURCE_DIR / "data/windows/README.ja.txt"
        self.assertEqual(windows_text_faults(path.read_bytes()), [])

    def test_faults_are_found(self):
        good = "\ufeffはじめに\r\n本文\r\n".encode()
        self.assertEqual(windows_text_faults(good), [])
        self.assertEqual(len(windows_text_faults(good[3:])), 1)
        self.assertEqual(len(windows_text_faults(good.replace(b"\r\n", b"\n", 1))), 1)
        self.assertEqual(len(windows_text_faults(good + b"x")), 1)
        self.assertEqual(len(windows_text_faults(good + b"\r")), 2)
        self.assertEqual(len(windows_text_faults(good.replace("本".encode(), b"\x96"))), 1)


def check_windows_texts(paths):
    """For scripts: says what is wrong with each file; true when nothing is."""
    sound = True
    for path in paths:
        for fault in windows_text_faults(Path(path).read_bytes()):
            print(f"{path}: {fault}", file=sys.stderr)
            sound = False
    return sound


if __name__ == "__main__":
    if sys.argv[1:2] == ["--windows-text"]:
        sys.exit(0 if check_windows_texts(sys.argv[2:]) else 1)
    TARNWICK_LIST, SOURCE_DIR = sys.argv[1], Path(sys.argv[2])
    unittest.main(argv=sys.argv[:1])
