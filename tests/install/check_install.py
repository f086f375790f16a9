#!/usr/bin/python3
"""Installs the build into a temporary prefix and checks what a desktop reads.

    check_install.py BUILD_DIR GUI(0|1)

The desktop entry, the AppStream record, the job file type, the icons, the
man pages and the bash completion, each through the desktop's own tools.
"""
import os
import pathlib
import struct
import subprocess
import sys
import tempfile

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def png_size(path):
    data = path.read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", data[16:24])


def complete(prefix, words, cwd):
    """What bash completion offers for the last of words (a list; "" to complete nothing typed)."""
    script = prefix / "share/bash-completion/completions/ordinex-cli"
    quoted = " ".join("'" + w.replace("'", "'\\''") + "'" for w in words)
    function = "_ordinex_cli" if words[0] == "ordinex-cli" else "_ordinex"
    code = (f"source '{script}'; COMP_WORDS=({quoted}); COMP_CWORD={len(words) - 1}; "
            f"{function}; printf '%s\\n' \"${{COMPREPLY[@]}}\"")
    out = run(["bash", "--norc", "-c", code], cwd=cwd)
    check(out.returncode == 0, f"completion of {words} runs: {out.stderr}")
    return sorted(line for line in out.stdout.splitlines() if line)


def main():
    build, gui = pathlib.Path(sys.argv[1]), sys.argv[2] in ("1", "ON", "TRUE")
    with tempfile.TemporaryDirectory() as tmp:
        prefix = pathlib.Path(tmp) / "prefix"
        out = run(["cmake", "--install", str(build), "--prefix", str(prefix)])
        check(out.returncode == 0, "cmake --install: " + out.stderr)
        share = prefix / "share"

        # The command-line program, its man page and its completion.
        cli = prefix / "bin/ordinex-cli"
        out = run([str(cli), "--version"])
        check(out.returncode == 0 and out.stdout.startswith("ordinex-cli "), "installed ordinex-cli --version")
        pages = ["ordinex-cli.1"] + (["ordinex.1"] if gui else [])
        for page in pages:
            path = share / "man/man1" / page
            out = run(["groff", "-man", "-ww", "-z", str(path)])
            check(path.exists() and out.returncode == 0 and not out.stderr, f"man page {page}: {out.stderr}")

        work = pathlib.Path(tmp) / "work"
        (work / "sub").mkdir(parents=True)
        (work / "a.odx").write_text("")
        (work / "notes.txt").write_text("")
        cases = [
            (["ordinex-cli", ""], ["--help", "--version", "fetch", "guess", "list", "ls", "run"]),
            (["ordinex-cli", "r"], ["run"]),
            (["ordinex-cli", "run", ""], ["--failed-list", "-j", "a.odx", "sub"]),
            (["ordinex-cli", "fetch", "-j", ""], ["1", "16", "2", "4", "8"]),
            (["ordinex-cli", "run", "-j", "8", ""], ["a.odx", "sub"]),
            (["ordinex-cli", "list", ""], ["a.odx", "sub"]),
            (["ordinex-cli", "run", "--failed-list", "n"], ["notes.txt"]),
            (["ordinex-cli", "run", "--failed-list", "f.txt", ""], ["a.odx", "sub"]),
            (["ordinex-cli", "list", "a.odx", ""], []),
            (["ordinex-cli", "ls", ""], []),
        ]
        if gui:
            cases += [
                (["ordinex", "--d"], ["--desktop"]),
                (["ordinex", ""], ["a.odx", "sub"]),
            ]
        for words, expected in cases:
            got = complete(prefix, words, work)
            check(got == expected, f"completion of {words}: {got} instead of {expected}")

        if gui:
            check_desktop(prefix, share, tmp)
    if failures:
        print(f"{len(failures)} install check(s) failed", file=sys.stderr)
        return 1
    print("install checks passed")
    return 0


def check_desktop(prefix, share, tmp):
    out = run([str(prefix / "bin/ordinex"), "--version"], env={**os.environ, "DISPLAY": ""})
    check(out.returncode == 0 and out.stdout.startswith("ordinex "), "installed ordinex --version")

    # The built-in browser's module, where the installed program looks for it
    # (the library folder), loadable with the web engine it links.
    modules = sorted(prefix.glob("lib*/**/ordinex/ordinex-browser.so"))
    check(len(modules) == 1, f"one browser module in the library folder: {modules}")
    if modules:
        out = run(["ldd", str(modules[0])])
        check("libwebkit2gtk" in out.stdout and "not found" not in out.stdout, "the module's libraries: " + out.stdout)
        out = run(["ldd", str(prefix / "bin/ordinex")])
        check("libwebkit2gtk" not in out.stdout, "the program itself links no web engine")

    desktop = share / "applications/org.ordinex.Ordinex.desktop"
    out = run(["desktop-file-validate", str(desktop)])
    check(out.returncode == 0 and not out.stdout.strip(), "desktop-file-validate: " + out.stdout + out.stderr)
    entry = desktop.read_text(encoding="utf-8") if desktop.exists() else ""
    for line in ["Categories=Network;FileTransfer;", "MimeType=application/x-ordinex-job;",
                 "Icon=org.ordinex.Ordinex", "Exec=ordinex --desktop %f", "Name[ja]="]:
        check(line in entry, f"the desktop entry has {line}")

    metainfo = share / "metainfo/org.ordinex.Ordinex.metainfo.xml"
    out = run(["appstreamcli", "validate", "--no-net", "--strict", str(metainfo)])
    check(out.returncode == 0, "appstreamcli validate: " + out.stdout + out.stderr)

    # The job file type, as the desktop's database resolves it.
    mime = pathlib.Path(tmp) / "mime"
    (mime / "packages").mkdir(parents=True)
    (mime / "packages/ordinex.xml").write_bytes((share / "mime/packages/ordinex.xml").read_bytes())
    out = run(["update-mime-database", str(mime)])
    check(out.returncode == 0, "update-mime-database: " + out.stderr)
    globs = (mime / "globs2").read_text() if (mime / "globs2").exists() else ""
    check("application/x-ordinex-job:*.odx" in globs, "*.odx is an Ordinex job: " + globs)

    # Every size of the icon, and the drawing itself.
    icons = share / "icons/hicolor"
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        png = icons / f"{size}x{size}/apps/org.ordinex.Ordinex.png"
        check(png.exists() and png_size(png) == (size, size), f"icon {size}x{size}")
    svg = icons / "scalable/apps/org.ordinex.Ordinex.svg"
    rendered = pathlib.Path(tmp) / "scalable.png"
    out = run(["rsvg-convert", "-w", "64", "-h", "64", "-o", str(rendered), str(svg)])
    check(out.returncode == 0 and png_size(rendered) == (64, 64), "the scalable icon renders: " + out.stderr)


if __name__ == "__main__":
    sys.exit(main())
