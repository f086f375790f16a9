#!/usr/bin/python3
"""Fails when a source file includes a header of a layer above its own.

The layers, bottom to top. A folder may include headers of its own folder and
of every folder on a lower line; folders on one line are peers and include
none of each other. Everything above the line "gui/kit" is the core, which
links no GUI library and includes no toolkit header.
"""
import pathlib
import re
import sys

LAYERS = [
    ["platform"],               # files, INI, text helpers, the interfaces to the windows
    ["settings"],               # the settings record and its store
    ["job"],                    # ranges, job values, job files
    ["net"],                    # transfers, sessions, connections, FTP listing, probes
    ["listing"],                # page loading and link extraction, the link walk
    ["runs"],                   # composition and naming rules of the runs
    ["app"],                    # the application object and its operations
    ["ui", "cli"],              # window rules without a toolkit; the command-line program
    ["gui/kit"],                # toolkit helpers: text, dialogs, pump, prompts
    ["gui/widgets"],            # pieces several windows share
    ["gui/about", "gui/browser", "gui/listwnd", "gui/resultdlg", "gui/settingsdlg"],
    ["gui/mainwnd"],            # the main frame and form, which open the others
    ["gui/shell"],              # start-up: the wx application
]
FIRST_GUI = next(i for i, line in enumerate(LAYERS) if line[0].startswith("gui/"))
RANK = {folder: i for i, line in enumerate(LAYERS) for folder in line}
TOOLKIT = re.compile(r'#\s*include\s*<(wx|gtk|gdk|glib|webkit2?|gio)/')
LOCAL = re.compile(r'#\s*include\s*"([^"]+)"')

# Test and tool folders: which layers their files may reach.
OUTSIDE = {"tests/core": FIRST_GUI - 1, "fuzz": FIRST_GUI - 1, "tests/gui": len(LAYERS) - 1,
           "bench": len(LAYERS) - 1}


def folder_of(path):
    """The layer folder of a path below src/ ("net/x.h" -> "net", "gui/kit/a.h" -> "gui/kit")."""
    parts = pathlib.PurePosixPath(path).parts
    if len(parts) < 2:
        return None
    return "/".join(parts[:2]) if parts[0] == "gui" else parts[0]


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    problems = []
    sources = sorted(p for p in (root / "src").rglob("*") if p.suffix in (".h", ".cpp", ".in"))
    for path in sources:
        rel = path.relative_to(root / "src").as_posix()
        own = folder_of(rel)
        if own not in RANK:
            problems.append(f"src/{rel}: folder {own!r} has no layer in scripts/check-layers.py")
            continue
        check_file(path, f"src/{rel}", own, RANK[own], problems)
    for outside, top in OUTSIDE.items():
        for path in sorted((root / outside).rglob("*")):
            if path.suffix in (".h", ".cpp"):
                check_file(path, path.relative_to(root).as_posix(), outside, top, problems)
    if problems:
        print("Layer check failed (allowed order: scripts/check-layers.py):", file=sys.stderr)
        for p in problems:
            print("  " + p, file=sys.stderr)
        return 1
    print(f"Layer check: {len(sources)} source files, every include points down.")
    return 0


def check_file(path, name, own, rank, problems):
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if rank < FIRST_GUI and TOOLKIT.search(line):
            problems.append(f"{name}:{number}: the core includes a toolkit header: {line.strip()}")
        m = LOCAL.search(line)
        if not m:
            continue
        target = folder_of(m.group(1))
        if target is None or target not in RANK or target == own:
            continue  # a header beside the file, or one of the tests' own
        if RANK[target] > rank:
            problems.append(f"{name}:{number}: {own} includes {m.group(1)} of the layer above it ({target})")
        elif RANK[target] == rank and own in RANK:
            problems.append(f"{name}:{number}: {own} includes {m.group(1)} of its peer {target}")


if __name__ == "__main__":
    sys.exit(main())
