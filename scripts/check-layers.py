#!/usr/bin/env python3
"""Fails when a source includes a header of a higher layer; names every such include.

The layers, lowest first: utilities, component (link, serial ports), model, service,
application/core (the core library's top), application/windows, the program's entry. The
command-line tools and the simulated device link only the core, so they may not include a
window either. Tests and benchmarks may include anything.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Folder prefix -> rank; the longest matching prefix wins.
LAYERS = {
    "utilities/": 0,
    "component/": 1,
    "model/": 2,
    "service/": 3,
    "application/core/": 4,
    "tools/k27ctl/": 4,
    "tools/mkpackage/": 4,
    "tools/devicesim/": 4,
    "application/windows/": 5,
    "application/": 6,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def rank(path):
    matches = [prefix for prefix in LAYERS if path.startswith(prefix)]
    return LAYERS[max(matches, key=len)] if matches else None


def main():
    failures = []
    checked = 0
    for source in sorted(ROOT.rglob("*")):
        if source.suffix not in (".cpp", ".h") or not source.is_file():
            continue
        path = source.relative_to(ROOT).as_posix()
        own = rank(path)
        if own is None:
            continue
        checked += 1
        text = source.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            included = match.group(1)
            theirs = rank(included)
            if theirs is not None and theirs > own:
                line = text.count("\n", 0, match.start()) + 1
                failures.append(f"{path}:{line}: includes {included} from a higher layer")
    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        print("Move the shared piece down a layer or pass it in from above.", file=sys.stderr)
        return 1
    print(f"Layers checked: {checked} files, no upward include")
    return 0


if __name__ == "__main__":
    sys.exit(main())
