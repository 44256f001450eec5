#!/usr/bin/env python3
"""Prints the N longest function bodies of a folder's C++ sources, longest first, as
"lines  file:line  name". A plain brace-matching scan: comments, strings and preprocessor lines
and lines that are only a macro call are blanked first; a brace whose header holds a parameter list opens a function, and class,
struct, namespace and extern bodies are looked into. A lambda or a local class counts with the
function around it. Run from anywhere: python3 tools/layers/longest_functions.py app 20"""
import pathlib, re, sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCOPES = re.compile(r"\b(class|struct|union|namespace|extern\s*\"C\")\b")


def blank(text):
    """The text with comments, string and character literals and preprocessor lines turned into
    spaces, line breaks kept, so offsets and line numbers stay true."""
    out, i, n = list(text), 0, len(text)

    def wipe(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            wipe(i, j)
            i = j
            continue
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            wipe(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            wipe(i, j)
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            delim = text[i + 2:text.find("(", i + 2)]
            j = text.find(")" + delim + '"', i)
            j = n if j < 0 else j + len(delim) + 2
            wipe(i, j)
            i = j
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():  # a digit separator: 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            wipe(i + 1, min(j, n))
            i = j + 1
        else:
            i += 1
    # A line that is only a macro call (a message map's entries, IMPLEMENT_DYNCREATE) is no header.
    return re.sub(r"(?m)^[ \t]*[A-Z_][A-Z0-9_]*\([^;{}]*\)[ \t]*$", lambda m: " " * len(m.group(0)), "".join(out))


def matching(text, i):
    """The offset just past the brace that closes the one at i."""
    depth = 0
    for j in range(i, len(text)):
        if text[j] == "{":
            depth += 1
        elif text[j] == "}":
            depth -= 1
            if depth == 0:
                return j + 1
    return len(text)


def function_name(header):
    """The (qualified) name before the header's first parameter list, or None."""
    m = re.search(r"((?:[A-Za-z_~][\w]*\s*(?:<[^<>()]*>)?\s*::\s*)*~?[A-Za-z_]\w*|operator\s*[^\s(]+)\s*\(", header)
    if not m or m.group(1) in ("if", "for", "while", "switch", "catch", "return", "sizeof"):
        return None
    return re.sub(r"\s+", "", m.group(1))


def scan(text, start, end, found):
    """Finds the functions between start and end (a file or a class or namespace body)."""
    i, head = start, start
    while i < end:
        c = text[i]
        if c in ";}":
            head = i + 1
        elif c == "{":
            header = text[head:i]
            if SCOPES.search(header) and "(" not in header.split("{")[0].rsplit(")", 1)[-1]:
                close = matching(text, i)
                if not re.search(r"\benum\b", header):
                    scan(text, i + 1, close - 1, found)
                i, head = close, close
                continue
            name = function_name(header)
            before = header.rstrip()
            if name and re.search(r"\)\s*:", header) and before and (before[-1].isalnum() or before[-1] in "_>"):
                # A member initialiser with braces: the body comes later.
                i = matching(text, i)
                continue
            close = matching(text, i)
            if name and "=" not in header.split("(")[0]:
                first = head + len(header) - len(header.lstrip())
                found.append((text.count("\n", first, close) + 1, text.count("\n", 0, first) + 1, name))
            i, head = close, close
            continue
        i += 1


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "app"
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    base = (ROOT / folder).resolve()
    rows = []
    for path in sorted(base.rglob("*")):
        if path.suffix not in (".h", ".hpp", ".cpp", ".cc") or "build" in path.relative_to(ROOT).parts:
            continue
        text = blank(path.read_text(errors="replace"))
        found = []
        scan(text, 0, len(text), found)
        rows += [(lines, f"{path.relative_to(ROOT)}:{line}", name) for lines, line, name in found]
    rows.sort(key=lambda r: (-r[0], r[1]))
    for lines, where, name in rows[:count]:
        print(f"{lines:5}  {where:40}  {name}")


if __name__ == "__main__":
    sys.exit(main())
