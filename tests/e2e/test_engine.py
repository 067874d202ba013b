"""The script engine on a real Windows file system: branches, a GoTo loop and
the value commands of one script, whose results it writes line by line with
"Write to Text File"; and the text-file commands on real files. The setup
runs silently; the tests read what it wrote on the Linux side."""

import re

from setup_files import CRLF

ENCODING = "cp1252"  # the package's and the script's 8-bit text


def project(script):
    return {"setup": "Setup", "product": {"title": "E2E Engine", "publisher": "Quorvex"}, "script": script,
            "support": "support", "wix": "product.wxs"}


WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{6B0E24A1-3C55-4F0B-8D2E-5A9C7E1F3B01}" Name="E2E Engine" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{6B0E24A1-3C55-4F0B-8D2E-5A9C7E1F3B02}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir"/>
    <Feature Id="Main" Level="1"/>
  </Product>
</Wix>
"""

FILES = {"support/readme.txt": "support file\r\n", "product.wxs": WXS}


def cmd(name, *params, **extra):
    return {"command": name, "params": list(params), **extra}


def write(line, top="FALSE", path="$OUT$"):
    return cmd("Write to Text File", path, line, top)


def if_(var, op, value, negate="FALSE"):
    return cmd("If", var, op, value, negate)


def else_if(var, op, value, negate="FALSE"):
    return cmd("Else If", var, op, value, negate)


ELSE, END = cmd("Else"), cmd("End")


def read_lines(path):
    """The file's lines; every line must end with CR LF."""
    text = path.read_bytes().decode(ENCODING)
    assert text.endswith(CRLF) and "\n" not in text.replace(CRLF, ""), repr(text)
    return text.split(CRLF)[:-1]


def assert_ran_through(run):
    assert run.code == 0, f"{run.output}\n{run.trace}"
    assert run.trace.starting("runtime error") == [] and run.trace.starting("startup failure") == [], str(run.trace)
    assert run.trace.lines[-1:] == ["exit code 0"], str(run.trace)
    assert run.leftovers == set()


# Conditions: each case writes its name and which branch ran.
BRANCHES = [
    cmd("Set Variable", "N", "10"),
    cmd("Set Variable", "T", "10a"),
    cmd("Set Variable", "HEX", "0x1F"),
    cmd("Set Variable", "ZEROS", "010"),
    cmd("Set Variable", "EMPTY", ""),
    cmd("Set Variable", "LOW", "abc"),
    cmd("Set Variable", "UP", "ABC"),
    cmd("Set Variable", "LIT", "x10"),
    # 10 > 9 as numbers.
    if_("N", "2", "9"), write("greater=if"), ELSE, write("greater=else"), END,
    # 10a sorts before 9 as text; 0x1F is the number 31.
    if_("$T$", "2", "9"), write("chain=if"),
    else_if("HEX", "0", "31"), write("chain=else-if"),
    ELSE, write("chain=else"), END,
    # The nested chain's Else runs, the outer branch goes on, and the outer
    # Else If is passed over although it would be true.
    if_("N", "0", "10"),
    if_("LOW", "0", "ABC"), write("nested=if"), ELSE, write("nested=else"), END,
    write("outer=continued"),
    else_if("N", "0", "10"), write("outer=else-if"),
    ELSE, write("outer=else"), END,
    if_("LOW", "0", "$UP$", "TRUE"), write("negated=if"), ELSE, write("negated=else"), END,
    if_("T", "1", "0a"), write("contains-text=if"), ELSE, write("contains-text=else"), END,
    if_("N", "1", "1"), write("contains-number=if"), ELSE, write("contains-number=else"), END,
    if_("EMPTY", "0", ""), write("empty=if"), ELSE, write("empty=else"), END,
    if_("ZEROS", "0", "10"), write("zeros=if"), ELSE, write("zeros=else"), END,
    # A reference inside other text is compared as it stands.
    if_("LIT", "0", "x$N$"), write("literal=if"), ELSE, write("literal=else"), END,
    if_("N", "7", "10"), write("bad-operator=if"), ELSE, write("bad-operator=else"), END,
    # Disabled block commands take no part.
    if_("N", "0", "10"), write("disabled=first"),
    cmd("Else", disabled=True), write("disabled=second"),
    cmd("End", disabled=True), END,
    if_("N", "0", "11"), cmd("End", disabled=True), cmd("If", "N", "0", "10", "FALSE", disabled=True),
    write("disabled=wrong"), ELSE, write("disabled=else"), END,
]

# A counter loop: I from 1 to 5, SUM the running total.
LOOP = [
    cmd("Set Variable", "I", "0"),
    cmd("Set Variable", "SUM", "0"),
    cmd("Label", "LOOP"),
    cmd("Mathematics", "$I$", "1", "0", "I"),
    cmd("Mathematics", "$SUM$", "$I$", "0", "SUM"),
    if_("I", "2", "4", "TRUE"), cmd("GoTo Label", "loop"), END,
    write("loop=$I$/$SUM$"),
]

MATHEMATICS = [  # (key, A, B, code, expected)
    ("add", "2147483647", "1", "0", "2147483648"),
    ("sub", "-5", "7", "1", "-12"),
    ("mul", "65536", "65536", "2", "4294967296"),
    ("div", "7", "2", "3", "3"),
    ("div-negative", "-7", "2", "3", "-3"),
    ("mod", "-7", "2", "4", "-1"),
    ("and", "12", "10", "5", "8"),
    ("or", "12", "10", "6", "14"),
    ("xor", "12", "10", "7", "6"),
    ("shl", "1", "40", "8", "1099511627776"),
    ("shl-64", "1", "64", "8", "0"),
    ("shr", "-1", "1", "9", "9223372036854775807"),
    ("not", "0", "", "10", "-1"),
    ("ord", "a", "", "11", "97"),
    ("chr", "65", "", "12", "A"),
    ("div-zero", "7", "0", "3", ""),
    ("mod-zero", "7", "0", "4", ""),
    ("not-a-number", "seven", "2", "0", ""),
    ("seed", "3", "7", "13", "10"),
    ("state", "5", "", "14", "5"),
    ("random1", "10", "", "15", "2"),
    ("random2", "10", "", "15", "3"),
]

PARSE = [  # (key, source, delimiter, mode, trim, ignore case, first|second)
    ("first", "a=b=c", "=", "0", "FALSE", "FALSE", "a|b=c"),
    ("last", "a=b=c", "=", "1", "FALSE", "FALSE", "a=b|c"),
    ("first-missing", "a=b=c", ";", "0", "FALSE", "FALSE", "a=b=c|"),
    ("last-missing", "a=b=c", ";", "1", "FALSE", "FALSE", "|a=b=c"),
    ("left-2", "abcdef", "2", "2", "FALSE", "FALSE", "ab|cdef"),
    ("left-0", "abcdef", "0", "2", "FALSE", "FALSE", "|abcdef"),
    ("left-10", "abcdef", "10", "2", "FALSE", "FALSE", "abcdef|"),
    ("right-2", "abcdef", "2", "3", "FALSE", "FALSE", "abcd|ef"),
    ("right-6", "abcdef", "6", "3", "FALSE", "FALSE", "|"),
    ("right-10", "abcdef", "10", "3", "FALSE", "FALSE", "|abcdef"),
    ("ignore-case", "KeyXValue", "x", "0", "FALSE", "TRUE", "Key|Value"),
    ("case-kept", "KeyXValue", "x", "0", "FALSE", "FALSE", "KeyXValue|"),
    ("trim", "  left , right  ", ",", "0", "TRUE", "FALSE", "left|right"),
    ("untrimmed", "  left , right  ", ",", "0", "FALSE", "FALSE", "  left | right  "),
    ("bad-mode", "a=b", "=", "4", "FALSE", "FALSE", "|"),
]

REPLACE = [  # (key, variable parameter, pattern, replacement, ignore case, all, expected)
    ("all-any-case", "X", "a", "y", "TRUE", "TRUE", "xyxy"),
    ("all", "$X$", "a", "y", "FALSE", "TRUE", "xAxy"),
    ("any-case", "X", "a", "y", "TRUE", "FALSE", "xyxa"),
    ("first", "X", "a", "y", "FALSE", "FALSE", "xAxy"),
    ("empty-pattern", "X", "", "y", "TRUE", "TRUE", "xAxa"),
    ("longer", "X", "xAxa-", "y", "TRUE", "TRUE", "xAxa"),
]

EXTRACT = [  # (key, path, part, expected)
    ("name", r"C:\Dir\Sub\file.tar.gz", "0", "file.tar.gz"),
    ("base", r"C:\Dir\Sub\file.tar.gz", "1", "file.tar"),
    ("ext", r"C:\Dir\Sub\file.tar.gz", "2", "gz"),
    ("folder", r"C:\Dir\Sub\file.tar.gz", "3", "C:\\Dir\\Sub\\"),
    ("parent", r"C:\Dir\Sub\file.tar.gz", "4", "C:\\Dir\\"),
    ("drive", r"C:\Dir\Sub\file.tar.gz", "5", "C:\\"),
    ("base-repeated-ext", "a.b.c.b", "1", "a.b.c"),
    ("ext-in-folder", r"C:\Dir.x\file", "2", ""),
    ("no-folder", "file.txt", "3", ""),
    ("doubled", r"C:\\Dir\\\\file", "6", r"C:\Dir\file"),
    ("share", r"\\server\share\dir\f.txt", "5", "\\\\server\\share\\"),
    ("share-collapsed", r"\\server\share\dir\f.txt", "6", r"\server\share\dir\f.txt"),
    ("other-part", r"C:\Dir\file", "9", r"C:\Dir\file"),
]

CASES = [  # (key, text, upper, expected): the Windows-1252 letters too
    ("upper", "Grüße, Élan & œuvre", "TRUE", "GRÜßE, ÉLAN & ŒUVRE"),
    ("lower", "ÄÖÜ ABC Š", "FALSE", "äöü abc š"),
]


def value_commands():
    script = []
    for key, a, b, code, _ in MATHEMATICS:
        script += [cmd("Mathematics", a, b, code, "R"), write(f"{key}=$R$")]
    for key, source, delim, mode, trim, case, _ in PARSE:
        script += [cmd("Parse String", source, delim, "P1", "P2", mode, trim, case), write(f"{key}=$P1$|$P2$")]
    for key, var, pattern, replacement, case, every, _ in REPLACE:
        script += [cmd("Set Variable", "X", "xAxa"), cmd("Replace String", var, pattern, replacement, case, every),
                   write(f"{key}=$X$")]
    for key, path, part, _ in EXTRACT:
        script += [cmd("Set Variable", "E", path), cmd("Extract Path", "E", part), write(f"{key}=$E$")]
    for key, text, upper, _ in CASES:
        script += [cmd("Set Variable", "C", text), cmd("Convert Case", "C", upper), write(f"{key}=$C$")]
    return script


def fixed_expectations():
    lines = ["greater=if", "chain=else-if", "nested=else", "outer=continued", "negated=if", "contains-text=if",
             "contains-number=else", "empty=if", "zeros=if", "literal=else", "bad-operator=else",
             "disabled=first", "disabled=second", "disabled=else", "loop=5/15"]
    lines += [f"{k}={v}" for k, *_, v in MATHEMATICS]
    lines += [f"{k}={v}" for k, *_, v in PARSE]
    lines += [f"{k}={v}" for k, *_, v in REPLACE]
    lines += [f"{k}={v}" for k, *_, v in EXTRACT]
    lines += [f"{k}={v}" for k, *_, v in CASES]
    return lines


# Paths on the real file system: a temporary file, and a folder and a file
# with long names in their short form and back.
PATHS = [
    cmd("Get Temporary File", "TMP1"),
    cmd("Get Temporary File", "$TMP2$"),
    write("tmp1=$TMP1$"), write("tmp2=$TMP2$"),
    cmd("Set Variable", "S", "$LONG$"), cmd("Convert Path", "S", "TRUE"), write("short=$S$"),
    cmd("Set Variable", "L", "$S$"), cmd("Convert Path", "L", "FALSE"), write("long=$L$"),
    # Written in lower case with a trailing backslash, the long form has the
    # names' letter case as stored and no trailing backslash.
    cmd("Set Variable", "LC", "$LONG$\\"), cmd("Convert Case", "LC", "FALSE"), cmd("Convert Path", "LC", "FALSE"),
    write("long-from-lower=$LC$"),
    cmd("Set Variable", "M", "$LONG$\\No Such Name.txt"), cmd("Convert Path", "M", "FALSE"), write("long-missing=$M$"),
]


def dir_short_name(wine, folder, name):
    """The short name that `dir /x` lists for `name` in `folder` (Windows
    paths); the long name itself when the system keeps no other."""
    _, out = wine.run([wine.wine, "cmd", "/c", "dir", "/x", folder], 60, merge_errors=False)
    for line in out.splitlines():
        line = line.rstrip("\r")
        if line.endswith(" " + name):
            # ... <DIR> or the size, then the short name when there is one
            last = line[:-len(name)].split()[-1]
            return name if last == "<DIR>" or re.fullmatch(r"[\d,.]+", last) else last
    raise AssertionError(f"{name} not listed in {folder}:\n{out}")


def test_branches_loop_and_value_commands_write_their_results(make_setup, run_setup, wine, tmp_path):
    long_folder = tmp_path / "Quorvex Long Folder Name"
    long_file = long_folder / "A Long File Name.text"
    long_folder.mkdir()
    long_file.write_bytes(b"x")
    out = tmp_path / "results.txt"
    exe = make_setup(project(BRANCHES + LOOP + value_commands() + PATHS), FILES)
    long_win = wine.to_windows(long_file)
    run = run_setup(exe, "/s", "OUT=" + wine.to_windows(out), "LONG=" + long_win)
    assert_ran_through(run)

    lines = read_lines(out)
    fixed = fixed_expectations()
    assert lines[:len(fixed)] == fixed
    rest = dict(line.split("=", 1) for line in lines[len(fixed):])
    assert list(rest) == ["tmp1", "tmp2", "short", "long", "long-from-lower", "long-missing"]

    # The loop body ran five times: the GoTo jumped back four times and the
    # label itself ran once.
    positions = [n for n, _ in run.trace.runs]
    label = next(n for n, name in run.trace.runs if name == "Label")
    assert (positions.count(label), positions.count(label + 1), positions.count(label + 4)) == (1, 5, 4)
    assert dict(run.trace.runs)[label + 4] == "GoTo Label"

    temp = run.trace.variables["TEMPDIR"]
    for key in ("tmp1", "tmp2"):
        path = rest[key]
        folder, name = path[:len(temp)], path[len(temp):]
        assert folder.lower() == temp.lower() and re.fullmatch(r"zor[0-9A-F]{1,4}\.tmp", name, re.I), path
        made = wine.to_unix(path)
        assert made.is_file() and made.stat().st_size == 0
        made.unlink()
    assert rest["tmp1"] != rest["tmp2"]

    short = rest["short"]
    assert short != long_win
    drive, *parts = short.split("\\")
    assert drive.upper() == long_win[:2].upper()
    assert all(re.fullmatch(r"[^ .\\]{1,8}(\.[^ .\\]{1,3})?", p) for p in parts), short
    parent_win = wine.to_windows(tmp_path)
    assert parts[-2:] == [dir_short_name(wine, parent_win, long_folder.name),
                          dir_short_name(wine, wine.to_windows(long_folder), long_file.name)]
    assert rest["long"] == long_win
    assert rest["long-from-lower"][2:] == long_win[2:]
    assert rest["long-missing"] == ""


def test_text_files_read_line_by_line_and_written_in_place(make_setup, run_setup, wine, tmp_path):
    files = tmp_path / "files"
    files.mkdir()
    # Any of CR, LF and CR LF ends a line.
    (files / "three.txt").write_bytes(b"one\rtwo\nthree\r\n")
    (files / "again.txt").write_bytes(b"old 1\r\nold 2\r\n")
    (files / "top.txt").write_bytes(b"second\r\n")
    readonly = files / "readonly.txt"
    readonly.write_bytes(b"kept\r\n")
    readonly.chmod(0o444)
    out = tmp_path / "results.txt"

    def read(path, n):
        return [cmd("Read from Text File", path, "LINE", "EOF"), write(f"{n}=$LINE$,$EOF$")]

    script = (
        read("$DIR$three.txt", "r1")
        # The open file is the same whatever the letter case of its path.
        + read("$DIR$THREE.TXT", "r2")
        + read("$DIR$three.txt", "r3")
        + read("$DIR$three.txt", "r4")
        # Writing the file being read: the next read starts at the new first line.
        + read("$DIR$again.txt", "a1")
        + [write("new top", "TRUE", "$DIR$again.txt")]
        + read("$DIR$again.txt", "a2")
        + read("$DIR$again.txt", "a3")
        # Reading another file closes the first one.
        + read("$DIR$three.txt", "b1")
        + read("$DIR$top.txt", "b2")
        + read("$DIR$three.txt", "b3")
        # A file that cannot be opened: end of file, the line stays.
        + read("$DIR$missing.txt", "m1")
        + [cmd("Read from Text File", "$DIR$missing.txt", "LINE2"), write("m2=[$LINE2$]")]
        + [write("first", "TRUE", "$DIR$top.txt"), write("third", "FALSE", "$DIR$top.txt"),
           write("two$NEWLINE$lines", "FALSE", "$DIR$top.txt"),
           write("written", "FALSE", "$DIR$readonly.txt"),
           write("nowhere", "FALSE", "$DIR$no such folder\\x.txt"),
           write("made", "TRUE", r"$DIR$\\new.txt"),
           write("done")]
    )
    exe = make_setup(project(script), FILES)
    run = run_setup(exe, "/s", "OUT=" + wine.to_windows(out), "DIR=" + wine.to_windows(files) + "\\")
    assert_ran_through(run)

    assert read_lines(out) == [
        "r1=one,FALSE", "r2=two,FALSE", "r3=three,TRUE", "r4=one,FALSE",
        "a1=old 1,FALSE", "a2=new top,FALSE", "a3=old 1,FALSE",
        "b1=one,FALSE", "b2=second,TRUE", "b3=one,FALSE",
        "m1=one,TRUE", "m2=[]",
        "done",
    ]
    assert read_lines(files / "again.txt") == ["new top", "old 1", "old 2"]
    assert read_lines(files / "top.txt") == ["first", "second", "third", "two", "lines"]
    assert read_lines(readonly) == ["kept", "written"]
    assert readonly.stat().st_mode & 0o200, "the read-only attribute was not cleared"
    assert read_lines(files / "new.txt") == ["made"]
    assert not (files / "no such folder").exists()
    # Reads and writes left three.txt as it was.
    assert (files / "three.txt").read_bytes() == b"one\rtwo\nthree\r\n"
