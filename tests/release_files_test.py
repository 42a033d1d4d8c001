#!/usr/bin/env python3
"""Checks the files that ship beside the programs.

    release_files_test.py TARNWICK_LIST SOURCE_DIR
    release_files_test.py --windows-text FILE...   (only the last check)

- the manual of tarnwick-list says what its --help says: the synopsis, the
  description, every option and every exit status, word for word, and the
  version;
- both manuals format without a warning from groff;
- the Windows readme is UTF-8 with a byte-order mark and CR LF line ends, so
  that Notepad shows it;
- README.md and README.ja.md give, section by section, the same commands,
  options, code and links, and each path of the tree they name is there.
"""

import glob
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


def readme_sections(text):
    """The sections of a README, split at its "## " headings, as (heading, body)
    pairs; the part above the first of them comes first, under the title."""
    parts = re.split(r"^(## .*)$", text, flags=re.MULTILINE)
    headings = [text.splitlines()[0]] + parts[1::2]
    return list(zip(headings, parts[0::2]))


# A word that the reader fills in: FOLDER in English, フォルダー in Japanese.
PLACEHOLDER = re.compile(r"(?:(?<=[\s\[/(|])|^)(?:[A-Z]{2,}|[^\x00-\x7f]+)(?=$|[\s\]/.)|])")
OPTION = re.compile(r"(?<![A-Za-z0-9_./\\-])--?[A-Za-z0-9_][A-Za-z0-9_.=+-]*|/\?")
CODE_BLOCK = re.compile(r"^```\n(.*?)^```$", re.MULTILINE | re.DOTALL)
CODE_SPAN = re.compile(r"`([^`]+)`")  # may run on over a line's end
LINK = re.compile(r"\]\(([^)\s]+)\)")


def readme_literals(body):
    """What a section gives the reader to type or follow, as (kind, text)
    pairs, with each placeholder written as ARG."""
    literals = set()
    for block in CODE_BLOCK.findall(body):
        literals |= {("command", PLACEHOLDER.sub("ARG", line)) for line in block.splitlines()}
    prose = CODE_BLOCK.sub("", body)
    spans = (" ".join(span.split()) for span in CODE_SPAN.findall(prose))
    literals |= {("code", PLACEHOLDER.sub("ARG", span)) for span in spans}
    # Each README links to the other.
    links = set(LINK.findall(prose)) - {"README.md", "README.ja.md"}
    literals |= {("link", target) for target in links}
    literals |= {("option", option.rstrip(".=")) for option in OPTION.findall(body)}
    return literals


def readme_differences(english, japanese):
    """Where README.ja.md (`japanese`) and README.md (`english`) tell the reader
    to type or follow different things, one line for each."""
    english_sections, japanese_sections = readme_sections(english), readme_sections(japanese)
    if len(english_sections) != len(japanese_sections):
        return [
            "the sections differ: README.md has "
            + ", ".join(repr(heading) for heading, _ in english_sections)
            + "; README.ja.md has "
            + ", ".join(repr(heading) for heading, _ in japanese_sections)
        ]
    differences = []
    for (english_heading, english_body), (japanese_heading, japanese_body) in zip(
        english_sections, japanese_sections
    ):
        english_literals = readme_literals(english_body)
        japanese_literals = readme_literals(japanese_body)
        place = f"under {japanese_heading!r} (README.md: {english_heading!r})"
        for kind, text in sorted(english_literals - japanese_literals):
            differences.append(f"README.ja.md lacks {place}: {kind} {text}")
        for kind, text in sorted(japanese_literals - english_literals):
            differences.append(f"README.md lacks {place}: {kind} {text}")
    return differences


def named_paths(text):
    """The relative paths that a README names in its code and links, each cut
    before its first placeholder (`fuzz/corpus/TARGET` names `fuzz/corpus`)."""
    tokens = [token for block in CODE_BLOCK.findall(text) for token in block.split()]
    prose = CODE_BLOCK.sub("", text)
    tokens += [token for span in CODE_SPAN.findall(prose) for token in span.split()]
    tokens += LINK.findall(prose)
    paths = set()
    for token in tokens:
        token = token.strip("'\"")
        if "/" not in token or "://" in token or "\\" in token or token[0] in "/.~$":
            continue
        parts = []
        for part in token.split("/"):
            if PLACEHOLDER.fullmatch(part):
                break
            parts.append(part)
        paths.add("/".join(part for part in parts if part))
    return paths


def output_folders():
    """The folders at the top of the tree that .gitignore keeps out of it."""
    gitignore = (SOURCE_DIR / ".gitignore").read_text(encoding="utf-8")
    return set(re.findall(r"^/([^/*\s]+)/$", gitignore, re.MULTILINE))


class TheTwoReadmes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.english = (SOURCE_DIR / "README.md").read_text(encoding="utf-8")
        cls.japanese = (SOURCE_DIR / "README.ja.md").read_text(encoding="utf-8")

    def test_same_commands_options_code_and_links(self):
        differences = readme_differences(self.english, self.japanese)
        self.assertFalse(differences, "\n" + "\n".join(differences))

    def test_each_path_they_name_is_in_the_tree(self):
        """A path of two parts or more starts at the top of the tree, or in
        a folder of build output (build/, dist/), which is not looked for; a
        lone folder (`man/` of `data/`, `x86/` of the zip) is named from
        beside another and not looked for either."""
        outputs = output_folders()
        missing = []
        for path in sorted(named_paths(self.english) | named_paths(self.japanese)):
            parts = path.split("/")
            if len(parts) > 1 and parts[0] not in outputs and not glob.glob(str(SOURCE_DIR / path)):
                missing.append(path)
        self.assertFalse(missing, f"named but not in the tree: {', '.join(missing)}")

    def test_a_difference_is_named_with_its_section(self):
        english = "# T\n\n`tarnwick-list [FOLDER]`\n\n## Run\n\n`scripts/bench --against-ls`\n"
        japanese = "# T\n\n`tarnwick-list [フォルダー]`\n\n## 実行\n\n`scripts/bench`\n"
        place = "under '## 実行' (README.md: '## Run')"
        self.assertEqual(
            readme_differences(english, japanese),
            [
                f"README.ja.md lacks {place}: code scripts/bench --against-ls",
                f"README.ja.md lacks {place}: option --against-ls",
                f"README.md lacks {place}: code scripts/bench",
            ],
        )
        self.assertEqual(len(readme_differences(english, japanese.replace("## 実行\n", ""))), 1)


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
