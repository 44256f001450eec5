#!/usr/bin/env python3
"""Lists the accessors (Get/Set/Is/Has/... member functions) declared in the program's headers that
nothing calls. Declarations come from universal-ctags; a caller is any other mention of the name in
the sources with comments and strings left out, so a name shared by two classes counts as called
for both (the list errs on the side of keeping). platform/ is left out: its interface follows a
framework, whose members stay whether or not the program uses them; so is engine/, whose interface
is exported.

  python3 tools/layers/unused_accessors.py                 the list, one accessor a line
  python3 tools/layers/unused_accessors.py --tests         also those only tests or benches call
  python3 tools/layers/unused_accessors.py --keep FILE     drop names written in backticks in FILE
  python3 tools/layers/unused_accessors.py --count         the number only
"""
import argparse, collections, json, pathlib, re, shutil, subprocess, sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
DECLARED_IN = ["app", "views", "toolkit", "chart", "model"]
SEARCHED = ["app", "views", "toolkit", "chart", "model", "engine", "platform", "tools", "tests", "bench"]
TEST_FOLDERS = ("tests", "bench")
ACCESSOR = re.compile(r"^(Get|Set|Is|Has|Can|Are|Was|Use|Show|Enable|Allow|Need|Should)[A-Z0-9_]")
SOURCE = (".h", ".hpp", ".cpp", ".cc", ".c")
# Comments, then strings and character literals, are blanked before names are counted.
NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
WORD = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")


def sources(folders):
    for folder in folders:
        for path in sorted((ROOT / folder).rglob("*")):
            rel = path.relative_to(ROOT)
            if path.suffix in SOURCE and path.is_file() and not any(p.startswith("build") for p in rel.parts):
                yield rel


def ctags(files):
    out = subprocess.run(
        ["ctags", "--output-format=json", "--fields=+neKSaZ", "--fields-C++=+{properties}", "--kinds-C++=+p",
         "--extras=-q", "--language-force=C++", "-f", "-", "-L", "-"],
        input="\n".join(str(f) for f in files), capture_output=True, text=True, cwd=ROOT, check=True).stdout
    for line in out.splitlines():
        tag = json.loads(line)
        if tag.get("_type") == "tag" and tag.get("kind") in ("prototype", "function") and tag.get("scope"):
            yield tag


def blank(text):
    # Keeps the line breaks so line numbers stay right.
    return NOISE.sub(lambda m: "\n" * m.group(0).count("\n") + " ", text)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tests", action="store_true", help="also list accessors only tests or benches call")
    ap.add_argument("--keep", type=pathlib.Path, help="a text whose names in backticks stay")
    ap.add_argument("--count", action="store_true", help="print the number only")
    args = ap.parse_args()
    if not shutil.which("ctags"):
        print("needs universal-ctags (apt-get install universal-ctags)", file=sys.stderr)
        return 2

    keep = set()
    if args.keep:
        for name in re.findall(r"`([^`]+)`", args.keep.read_text(errors="replace")):
            keep.add(name.strip())
            keep.add(name.strip().split("::")[-1])

    # Where each (class, name) is declared or defined: those lines are not calls.
    own = collections.defaultdict(set)
    declared = {}
    for tag in ctags(sources(SEARCHED)):
        key = (tag["scope"].split("::")[-1], tag["name"])
        own[tag["name"]].add((tag["path"], tag["line"]))
        path = pathlib.Path(tag["path"])
        if path.parts[0] in DECLARED_IN and path.suffix in (".h", ".hpp"):
            pattern = tag.get("pattern", "")
            if "virtual" in pattern or "override" in pattern or "virtual" in tag.get("properties", ""):
                continue
            if ACCESSOR.match(tag["name"]):
                declared.setdefault(key, (tag["path"], tag["line"]))

    wanted = {name for _, name in declared}
    uses = collections.defaultdict(lambda: [0, 0])  # name -> [program uses, test uses]
    for rel in sources(SEARCHED):
        text = blank((ROOT / rel).read_text(errors="replace"))
        in_tests = rel.parts[0] in TEST_FOLDERS
        for no, line in enumerate(text.split("\n"), 1):
            for word in WORD.findall(line):
                if word in wanted and (str(rel), no) not in own[word]:
                    uses[word][1 if in_tests else 0] += 1

    rows = []
    for (cls, name), (path, line) in sorted(declared.items(), key=lambda kv: kv[1]):
        # A property the text names keeps its accessors: `Flags` keeps GetFlags and SetFlags.
        prop = ACCESSOR.sub(lambda m: m.group(0)[-1], name)
        if keep & {f"{cls}::{name}", name, f"{cls}::{prop}", prop}:
            continue
        program, tests = uses[name]
        if program == 0 and (tests == 0 or args.tests):
            rows.append(f"{path}:{line}: {cls}::{name}" + (f"  (tests/benches: {tests})" if tests else ""))
    if args.count:
        print(len(rows))
    else:
        print("\n".join(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main())
