#!/usr/bin/env python3
"""Compares the simulator's report of one scenario on Linux (the stand-in)
with the report of the same run under Wine (the real Windows API).

What legitimately differs is masked first: timings, window, icon and bitmap
handle values, the wizard library's and the registered classes' paths, line
ends, and the handle account
that only the stand-in keeps. Any other difference means the stand-in and
Windows disagree, and the comparison fails."""
import re
import sys

# Where Wine departs from Windows, the Wine text is mapped back to what
# Windows shows, with the documentation that says so.
WINE_DEPARTURES = [
    # FormatMessage has a text for REGDB_E_CLASSNOTREG on Windows, "Class not
    # registered" (winerror.h; learn.microsoft.com/windows/win32/com/com-error-codes-1);
    # Wine's system message table has none, so the VCL falls back to its own text.
    ("OLE error 80040154", "Class not registered"),
]

MASKS = [
    (re.compile(r"\d+\.\d+ ms"), "N ms"),
    (re.compile(r"\b(owner|hwnd|icon|bitmap) 0x[0-9A-Fa-f]+"), r"\1 H"),
    (re.compile(r"0x[0-9A-Fa-f]+ -> hwnd H"), "H -> hwnd H"),
    (re.compile(r"^Wizard library: .*$", re.M), "Wizard library: P"),
    (re.compile(r"\nHandles: .*\n"), ""),
    # A registered class's library: a .so path here, a .dll path there.
    (re.compile(r"\nRegistered classes [^\n]*\n(  [^\n]*\n)*"),
     lambda section: re.sub(r"^(  \{[0-9A-Fa-f-]{36}\}  ).*$", r"\1L", section.group(0), flags=re.M)),
    (re.compile(r"(one hex digit off: .*\{[0-9A-Fa-f-]{36}\}) \([^)\n]*\)"), r"\1 (L)"),
]


def section_without(text, title):
    """Drops a section (its title line up to the next blank line)."""
    return re.sub(r"\n" + re.escape(title) + r"[^\n]*\n(  [^\n]*\n)*", "", text)


def normalize(text, wine):
    text = text.replace("\r\n", "\n")
    if wine:
        for found, windows in WINE_DEPARTURES:
            text = text.replace(found, windows)
    else:
        # The stand-in records a shell launch instead of starting it; Windows
        # starts it, and nothing of it is left to read.
        text = section_without(text, "Shell launches:")
    for pattern, replacement in MASKS:
        text = pattern.sub(replacement, text)
    return text


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: compare-reports.py LINUX_REPORT WINE_REPORT")
    with open(sys.argv[1], encoding="utf-8") as f:
        linux = normalize(f.read(), wine=False).splitlines()
    with open(sys.argv[2], encoding="utf-8", errors="replace") as f:
        wine = normalize(f.read(), wine=True).splitlines()
    if linux == wine:
        print(f"same report: {sys.argv[1]} and {sys.argv[2]}")
        return
    import difflib
    sys.stdout.writelines(line + "\n" for line in difflib.unified_diff(linux, wine, "linux", "wine", lineterm=""))
    sys.exit(1)


if __name__ == "__main__":
    main()
