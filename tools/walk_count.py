#!/usr/bin/env python3
"""Counts what a reader crosses following one feature through src/.

A walk is a file with one step a line, in the order a reader follows the
code: a function (`Name`, `Class::name`), alternatives separated by `|`
(the first one defined wins, so one walk serves a tree before and after a
rename), or a path under the root for a step with no name (a lambda). A
step ending in `?` is skipped where it is not defined (a function added by
a change being counted).
`#` starts a comment. For each walk it prints the files crossed, the
folders, and the returns: steps that come back to a file the walk had left.

    tools/walk_count.py tools/walks/*.walk
    tools/walk_count.py --root /some/other/checkout -v tools/walks/key.walk
"""

import argparse
import pathlib
import re
import sys

MAX_FILE_BYTES = 2 * 1024 * 1024  # no source file of ours comes near


def sources(root):
    found = {}
    for path in sorted((root / "src").rglob("*")):
        if path.suffix in (".cpp", ".h") and path.is_file():
            if path.stat().st_size <= MAX_FILE_BYTES:
                found[path.relative_to(root).as_posix()] = path.read_text(errors="replace")
    return found


def is_definition(text, start):
    """After a name's opening parenthesis: a body comes before any ';'."""
    depth = 0
    for at in range(start, min(len(text), start + 4000)):
        c = text[at]
        if c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
        elif depth == 0 and c == "{":
            return True
        elif depth == 0 and c == ";":
            return False
    return False


def define_sites(files, name):
    """The files that define name; qualified names match their own class."""
    qualified = "::" in name
    if qualified:
        owner, member = name.rsplit("::", 1)
        owner_last = owner.rsplit("::", 1)[-1]
        out_of_line = re.compile(r"^(?:[^\s/#].*?)?\b" + re.escape(name) + r"\s*\(", re.M)
        in_class = re.compile(r"^\s*(?:class|struct)\s+" + re.escape(owner_last) + r"\b[^;]*?\{", re.M)
        member_re = re.compile(r"^\s+[^\s/#(][^;{}]*?\b" + re.escape(member) + r"\s*\(", re.M)
    else:
        free = re.compile(r"^(?:[^\s/#][^;{}]*?[\s*&])?" + re.escape(name) + r"\s*\(", re.M)
    hits = []
    for path, text in files.items():
        if qualified:
            if any(is_definition(text, m.end() - 1) for m in out_of_line.finditer(text)):
                hits.append(path)
                continue
            for cls in in_class.finditer(text):
                body = text[cls.end():cls.end() + 20000]
                if any(is_definition(body, m.end() - 1) for m in member_re.finditer(body)):
                    hits.append(path)
                    break
        elif any(is_definition(text, m.end() - 1) for m in free.finditer(text)):
            hits.append(path)
    # A header that only declares loses to the file with the body.
    return sorted(set(hits), key=lambda p: (not p.endswith(".cpp"), p))


def resolve(files, step):
    for choice in (c.strip() for c in step.split("|")):
        if choice in files:
            return choice, choice
        sites = define_sites(files, choice)
        if sites:
            return choice, sites[0]
    return step, None


def walk_files(path):
    steps = []
    for line in path.read_text().splitlines()[:1000]:
        line = line.split("#", 1)[0].strip()
        if line:
            steps.append(line)
    return steps


def count(visited):
    crossed, returns, previous = [], 0, None
    for path in visited:
        if path == previous:
            continue
        if path in crossed:
            returns += 1
        else:
            crossed.append(path)
        previous = path
    folders = {p.rsplit("/", 1)[0] for p in crossed}
    return crossed, folders, returns


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("walks", nargs="+", type=pathlib.Path)
    parser.add_argument("--root", type=pathlib.Path,
                        default=pathlib.Path(__file__).resolve().parent.parent)
    parser.add_argument("-v", "--verbose", action="store_true", help="print each step's file")
    args = parser.parse_args()
    files = sources(args.root)
    status = 0
    for walk in args.walks:
        visited = []
        for step in walk_files(walk):
            optional = step.endswith("?")
            name, path = resolve(files, step.rstrip("?").strip())
            if path is None and optional:
                continue
            if path is None:
                print(f"{walk.name}: not found: {step}", file=sys.stderr)
                status = 1
                continue
            visited.append(path)
            if args.verbose:
                print(f"  {name:50} {path}")
        crossed, folders, returns = count(visited)
        print(f"{walk.stem}: {len(visited)} steps, {len(crossed)} files, "
              f"{len(folders)} folders, {returns} returns")
    return status


if __name__ == "__main__":
    sys.exit(main())
