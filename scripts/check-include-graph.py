#!/usr/bin/env python3
"""Lists the arrows between the libraries as the includes draw them, and fails
on an arrow against the layers below, on a circle, or on an include of
another library's private header.

    scripts/check-include-graph.py            the arrows, then OK or the faults
    scripts/check-include-graph.py --dot      the arrows as a Graphviz graph

A library is a folder (LIBRARIES, lowest first). An engine library keeps its
public face in include/<name>/; any other header of it is its own. An arrow
may only point to a library listed before the one it leaves.
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# Folder, library name, lowest first: an arrow points down this list only.
LIBRARIES = [
    ("fileio", "fileio"),
    ("codec/textarray", "textarray"),
    ("codec/csource", "csource"),
    ("codec", "codec"),
    ("settings", "settings"),
    ("res", "res"),
    ("cli", "cli"),
    ("ui", "ui"),
    ("ui/qt", "ui_qt"),
    ("ui/win32", "ui_win32"),
    ("app", "app"),
    ("bench", "bench"),
]
ENGINE = {"fileio", "textarray", "csource", "codec"}
SOURCE_SUFFIXES = {".h", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def library_of(path):
    """The library whose folder holds path (the deepest such folder), or None."""
    relative = path.relative_to(ROOT).as_posix()
    best = None
    for folder, name in LIBRARIES:
        if relative.startswith(folder + "/") and (best is None or len(folder) > len(best[0])):
            best = (folder, name)
    return best


def is_private(path, folder, name):
    """Whether another library may not include this header."""
    if name not in ENGINE:
        return False
    return not path.relative_to(ROOT / folder).as_posix().startswith("include/")


def sources():
    for folder, _ in LIBRARIES:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix in SOURCE_SUFFIXES and library_of(path)[0] == folder:
                yield path


def resolve(including, spelled, headers):
    """The header that an include of including names, as the build finds it:
    beside the file, then in a library's include/ folder or its own folder."""
    beside = including.parent / spelled
    if beside.is_file():
        return beside
    home = library_of(including)
    candidates = headers.get(spelled, [])
    own = [c for c in candidates if library_of(c) == home]
    return (own or candidates or [None])[0]


def index_headers():
    """Every header by the names an include may spell it with."""
    headers = {}
    for folder, name in LIBRARIES:
        base = ROOT / folder
        for path in base.rglob("*.h"):
            if library_of(path)[0] != folder:
                continue
            spellings = {path.name}
            if name in ENGINE:
                inside = path.relative_to(base).as_posix()
                spellings.add(inside)
                if inside.startswith("include/"):
                    spellings.add(inside[len("include/"):])
            for spelling in spellings:
                headers.setdefault(spelling, []).append(path)
    return headers


def find_circle(arrows):
    """A circle of libraries as a list, or None."""
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for to in sorted(arrows.get(node, ())):
            if state.get(to) == "open":
                return trail[trail.index(to):] + [to]
            if to not in state:
                circle = visit(to, trail + [to])
                if circle:
                    return circle
        state[node] = "done"
        return None

    for node in sorted(arrows):
        if node not in state:
            circle = visit(node, [node])
            if circle:
                return circle
    return None


def main():
    headers = index_headers()
    order = {name: rank for rank, (_, name) in enumerate(LIBRARIES)}
    arrows = {}
    faults = []
    for path in sources():
        folder, name = library_of(path)
        for spelled in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            target = resolve(path, spelled, headers)
            if target is None:
                continue   # generated (Version.h) or a system header in quotes
            to_folder, to_name = library_of(target)
            if to_name == name:
                continue
            where = f"{path.relative_to(ROOT)}: \"{spelled}\""
            arrows.setdefault(name, set()).add(to_name)
            if is_private(target, to_folder, to_name):
                faults.append(f"{where} is a private header of {to_name}")
            if order[to_name] > order[name]:
                faults.append(f"{where}: {name} -> {to_name} points up")
    circle = find_circle(arrows)
    if circle:
        faults.append("circle: " + " -> ".join(circle))

    if "--dot" in sys.argv[1:]:
        print("digraph libraries {")
        for source in sorted(arrows, key=order.get):
            for to in sorted(arrows[source], key=order.get):
                print(f"    {source} -> {to};")
        print("}")
    else:
        for source in sorted(arrows, key=order.get):
            print(f"{source} -> {', '.join(sorted(arrows[source], key=order.get))}")
    sys.stdout.flush()
    for fault in faults:
        print("include graph:", fault, file=sys.stderr)
    if faults:
        return 1
    print("include graph: no circle, no arrow up, no private header of another library", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
