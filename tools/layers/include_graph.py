#!/usr/bin/env python3
"""Prints which top-level folders include which: one line per pair, with the number of #include
lines, and the files that include Qt. Run from anywhere: python3 tools/layers/include_graph.py"""
import collections, pathlib, re, sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
FOLDERS = ["engine", "model", "views", "chart", "toolkit", "app", "platform", "resources", "tools", "tests", "bench"]
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.M)

def main():
    pairs = collections.Counter()
    qt = collections.Counter()
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".h", ".hpp", ".cpp", ".cc", ".c") or "build" in path.parts:
                continue
            for name in INCLUDE.findall(path.read_text(errors="replace")):
                top = name.split("/", 1)[0]
                if "/" in name and top in FOLDERS and top != folder:
                    pairs[(folder, top)] += 1
                if re.match(r"Q[A-Za-z]+(/|$)|qpa/", name):
                    qt[folder] += 1
    for (a, b), n in sorted(pairs.items()):
        print(f"{a:10} -> {b:10} {n}")
    for folder, n in sorted(qt.items()):
        print(f"{folder:10} -> Qt         {n}")

if __name__ == "__main__":
    sys.exit(main())
