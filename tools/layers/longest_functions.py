#!/usr/bin/env python3
"""Prints the N longest C++ functions under the given folders, longest first, as
"length  file:line  name" (length in lines, signature to closing brace).

    python3 tools/layers/longest_functions.py [-n N] FOLDER...

Folders are taken relative to the current directory. It reads the code, not a compiler's view of
it: comments, strings and preprocessor lines are blanked, then every brace at namespace or class
level that follows a parameter list opens a function body; lambdas and local classes count towards
the function around them."""
import argparse, pathlib, re, sys

SUFFIXES = (".cpp", ".cc", ".cxx", ".c", ".h", ".hpp")
CONTROL = {"if", "for", "while", "switch", "catch", "return", "sizeof", "decltype", "alignof"}
SCOPES = re.compile(r"\b(namespace|class|struct|union|enum)\b")
NAME = re.compile(r"((?:[A-Za-z_~][\w]*\s*(?:<[^<>()]*>)?\s*::\s*)*(?:operator\s*[^\s(]+|~?[A-Za-z_]\w*))\s*$")


def blank(text):
    """Returns text with comments, string and character literals and preprocessor lines replaced
    by spaces, keeping every newline so that offsets still give line numbers."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            # a directive runs to the end of the line, and on over backslash-newlines
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        if c == "/" and text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
            continue
        if c == "/" and text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        if c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^()\\\s]{0,16})\(', text[i:])
            if m:
                end = text.find(")" + m.group(1) + '"', i)
                j = n if end < 0 else end + len(m.group(1)) + 2
                out.append(re.sub(r"[^\n]", " ", text[i:j]))
                i = j
                continue
        if c in "\"'":
            # a digit separator (1'000) is no character literal
            if c == "'" and i > 0 and text[i - 1].isalnum() and re.match(r"[0-9A-Fa-f]", text[i + 1 : i + 2] or " ") \
                    and re.search(r"\b[0-9][\w']*$", text[max(0, i - 40) : i]):
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + c if j - i >= 2 else " " * (j - i))
            i = j
            continue
        out.append(c)
        line_start = c == "\n" or (line_start and c in " \t")
        i += 1
    return "".join(out)


def skip_macros(head):
    """Returns how much of head is macro invocations ("IMPLEMENT_DYNAMIC(...)") with no semicolon
    after them, which belong to no function."""
    skipped = 0
    while True:
        m = re.match(r"\s*[A-Z_][A-Z0-9_]*\s*\(", head[skipped:])
        if not m:
            return skipped
        depth, k = 0, skipped + m.end() - 1
        while k < len(head):
            depth += {"(": 1, ")": -1}.get(head[k], 0)
            k += 1
            if depth == 0:
                break
        if not head[k:].strip():
            return skipped
        skipped = k


def head_name(head):
    """Returns the function's name if the text before a '{' is a function's signature, else None."""
    h = " ".join(head.split())
    if not h or SCOPES.search(h.split("(", 1)[0]):
        return None
    depth, first_open, close = 0, -1, -1
    for k, ch in enumerate(h):
        if ch == "(":
            if depth == 0 and first_open < 0:
                first_open = k
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0:
                close = k
    if first_open < 0 or close < 0:
        return None
    before = h[:first_open]
    if "=" in before.replace("operator=", "").replace("operator==", ""):
        return None  # an initialiser, a lambda given to a variable
    m = NAME.search(before)
    if not m:
        return None
    name = re.sub(r"\s+", "", m.group(1))
    if name.split("::")[-1] in CONTROL:
        return None
    after = h[close + 1 :]
    # a constructor's initialiser list may itself end in a braced initialiser: "x{1}" is no body
    if re.search(r"^\s*(const|noexcept|override|final|mutable|&|&&|->|\s)*:", after) and re.search(r"[\w>]\s*$", after):
        return None
    return name


def functions(path):
    text = blank(path.read_text(errors="replace"))
    line_of = []
    line = 1
    for ch in text:
        line_of.append(line)
        if ch == "\n":
            line += 1
    stack = []  # for each open brace: (kind, name, start offset)
    mark = 0  # where the current statement or declaration began
    for i, ch in enumerate(text):
        if ch == "{":
            in_function = any(kind == "fn" for kind, _, _ in stack)
            if not in_function:
                mark += skip_macros(text[mark:i])
            name = None if in_function else head_name(text[mark:i])
            if name:
                start = mark + len(text[mark:i]) - len(text[mark:i].lstrip())
                stack.append(("fn", name, start))
            else:
                stack.append(("block", None, i))
            mark = i + 1
        elif ch == "}":
            if stack:
                kind, name, start = stack.pop()
                if kind == "fn":
                    yield name, line_of[start], line_of[i] - line_of[start] + 1
            mark = i + 1
        elif ch == ";":
            mark = i + 1
        elif ch == ":" and not in_colon_context(text, i) and not any(kind == "fn" for kind, _, _ in stack):
            # an access label ("public:") starts a new declaration
            if re.search(r"\b(public|private|protected)\s*$", text[mark:i]):
                mark = i + 1


def in_colon_context(text, i):
    return text[i - 1 : i] == ":" or text[i + 1 : i + 2] == ":"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("-n", type=int, default=20, help="how many to print (default 20)")
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()
    found = []
    for folder in args.folders:
        root = pathlib.Path(folder)
        paths = [root] if root.is_file() else sorted(root.rglob("*"))
        for path in paths:
            if path.suffix in SUFFIXES and "build" not in path.parts:
                for name, line, length in functions(path):
                    found.append((length, f"{path}:{line}", name))
    found.sort(key=lambda f: (-f[0], f[1]))
    for length, where, name in found[: args.n]:
        print(f"{length:5}  {where}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
