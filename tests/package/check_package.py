#!/usr/bin/env python3
"""Checks a release package as a host developer gets it: unpacked into a
fresh folder, its programs run through the build's runner (wine for the
Windows packages). The steps are ctest tests labelled package
(tests/package/CMakeLists.txt); `unpack` is the fixture of the others.

  unpack    the SHA-256 file agrees; the archive unpacks into one folder of
            its own name holding the installed tree: the listed entries and
            files, LICENSE, every third-party licence text, the viewer
            that was built, a .def for its own platform
  samples   impordano-dump --version names the version, the tool prints
            each sample's JSON Lines, and writes the house sample's workbook
            (--xlsx), a whole archive with its five sheets
  hosts     the recipes of README.txt (its "$ " or "> " lines) build and run
            samples/host.c and samples/loader.c; both print for every sample
            and the generated estimate what impordano-dump shows
            (scripts/check-host-output.py); with --polish-path host.c once
            more imports a sample under a path with Polish letters, in a
            Polish locale
  consumer  tests/consumer, built through find_package(impordano) with the
            build's compiler as strict C99, runs
  version   the version resources of the DLL and of impordano-dump.exe
"""
import argparse
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

args = None


def fail(message):
    sys.exit(f"check_package.py {args.step}: {message}")


def run(command, **kw):
    print("+", " ".join(command), flush=True)
    done = subprocess.run(command, **kw)
    if done.returncode != 0:
        fail(f"{command[0]} exited with {done.returncode}")
    return done


def root():
    return os.path.join(args.work, args.name, args.name)


def unpack():
    with open(args.archive, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(args.archive + ".sha256") as f:
        if f.read().split()[0] != digest:
            fail(f"{args.archive}.sha256 does not match the archive")
    folder = os.path.join(args.work, args.name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.unpack_archive(args.archive, folder)
    if os.listdir(folder) != [args.name]:
        fail(f"the archive holds {sorted(os.listdir(folder))}, not the one folder {args.name}")
    if sorted(os.listdir(root())) != sorted(args.listing):
        fail(f"the folder holds {sorted(os.listdir(root()))}, not {sorted(args.listing)}")
    missing = [f for f in args.files if not os.path.isfile(os.path.join(root(), f))]
    if missing:
        fail("missing: " + ", ".join(missing))
    same(os.path.join(root(), args.doc, "LICENSE"), os.path.join(args.source, "LICENSE"))
    licenses = os.path.join(root(), args.doc, "licenses")
    found = sorted(os.listdir(licenses)) if os.path.isdir(licenses) else []
    if found != sorted(name + ".txt" for name in args.licenses):
        fail(f"licenses/ holds {found}, not the texts of {args.licenses}")
    if any(os.path.getsize(os.path.join(licenses, name)) == 0 for name in found):
        fail("an empty licence text in licenses/")
    if not args.viewer:
        fail("no viewer to compare with: configure with IMPORDANO_VIEWER_HTML (the presets do)")
    same(os.path.join(root(), args.viewer_in_package), args.viewer)
    if args.released_viewer:
        same(args.released_viewer, args.viewer)
        with open(args.released_viewer + ".sha256") as f:
            if f.read().split() != [hashlib.sha256(open(args.viewer, "rb").read()).hexdigest(),
                                    os.path.basename(args.released_viewer)]:
                fail(f"{args.released_viewer}.sha256 does not match it")
    if args.machine:
        with open(os.path.join(root(), "lib", "impordano.def")) as f:
            machines = {word for word in f.read().split() if word.startswith("/machine:")}
        if machines != {"/machine:" + args.machine}:
            fail(f"lib/impordano.def names {machines}, not /machine:{args.machine} alone")
    print(f"{args.name}: {len(args.files)} files, LICENSE, {len(found)} licence texts, the viewer")


def same(path, expected):
    with open(path, "rb") as a, open(expected, "rb") as b:
        if a.read() != b.read():
            fail(f"{path} differs from {expected}")


def samples():
    said = run(args.runner + [os.path.join(root(), args.dump), "--version"],
               stdout=subprocess.PIPE, text=True).stdout
    if not said.startswith(f"impordano-dump {args.version}"):
        fail(f"--version says {said!r}")
    names = []
    for golden in sorted(glob.glob(os.path.join(args.source, "samples", "*.jsonl"))):
        name = os.path.basename(golden)[:-6]
        packaged = os.path.join(root(), args.samples, name)
        same(packaged + ".txt", golden[:-6] + ".txt")
        same(packaged + ".jsonl", golden)
        out = run(args.runner + [os.path.join(root(), args.dump), packaged + ".txt"],
                  stdout=subprocess.PIPE).stdout
        with open(golden, "rb") as f:
            if out != f.read():
                fail(f"impordano-dump {name}.txt prints other than samples/{name}.jsonl")
        names.append(name)
    workbook = os.path.join(args.work, "house.xlsx")
    run(args.runner + [os.path.join(root(), args.dump), "--xlsx", "-o", workbook,
                       os.path.join(root(), args.samples, "house.txt")])
    with zipfile.ZipFile(workbook) as book:
        sheets = [n for n in book.namelist() if n.startswith("xl/worksheets/sheet")]
        if book.testzip() is not None or len(sheets) != 5:
            fail(f"the house workbook holds the sheets {sheets}, not five whole ones")
    print(f"{said.strip()}; prints the JSON Lines of {', '.join(names)}; "
          f"writes house.xlsx ({os.path.getsize(workbook)} bytes, {len(sheets)} sheets)")


def recipe():
    """README.txt's command lines, as this machine runs them: "$ " lines as
    they stand, with PREFIX the unpacked tree; "> " lines (Windows) with
    the build's compiler for gcc, cp for copy, the runner before a program,
    and / for \\."""
    with open(os.path.join(root(), args.doc, "README.txt"), encoding="utf-8") as f:
        lines = [line.strip() for line in f]
    shell = [line[2:].replace("PREFIX", root()) for line in lines if line.startswith("$ ")]
    for line in lines:
        if line.startswith("> "):
            words = line[2:].replace("\\", "/").split()
            if words[0] == "gcc":
                words[0] = args.cc
            elif words[0] == "copy":
                words[0] = "cp"
            elif words[0].endswith(".exe"):
                words = args.runner + words
            shell.append(" ".join(words))
    if len(shell) < 4:
        fail("README.txt has no recipe to build and run the sample hosts")
    return shell


def hosts():
    work = os.path.join(args.work, "hosts")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    windows = args.machine is not None
    with open(os.path.join(work, "recipe.out"), "wb") as out:  # Windows-1250 lines
        run(["bash", "-ec", "\n".join(recipe())], cwd=root() if windows else work, stdout=out)
    suffix = ".exe" if windows else ""
    built = root() if windows else work
    host = [os.path.join(built, "host" + suffix)]
    loader = [os.path.join(built, "loader" + suffix), os.path.join(root(), args.module)]
    inputs = sorted(glob.glob(os.path.join(root(), args.samples, "*.txt"))) + [args.generated]
    check = [sys.executable, os.path.join(args.source, "scripts", "check-host-output.py")]
    check += [f"--runner={word}" for word in args.runner]
    for path in inputs:
        progress = ["--progress", "1"] if path == args.generated else []
        for program in (host, loader):
            run(check + progress + [os.path.join(root(), args.dump), path] + program)
    if args.polish_path:
        polish_path(work, host)


def polish_path(work, host):
    """A path with Polish letters in a Polish locale, where the ANSI code
    page is 1250: wine hands the program the path in Windows-1250, as
    Windows does, and the module opens it. Wine takes the code page from
    the glibc locale, made here from Debian's locales package."""
    locale = os.path.join(work, "locale")
    os.makedirs(locale)
    subprocess.run(["localedef", "-i", "pl_PL", "-f", "UTF-8", os.path.join(locale, "pl_PL.UTF-8")],
                   stderr=subprocess.DEVNULL)
    if not os.path.isfile(os.path.join(locale, "pl_PL.UTF-8", "LC_CTYPE")):
        fail("localedef cannot make pl_PL.UTF-8")
    folder = os.path.join(work, "Kosztorysy \u0141\u00f3d\u017a")
    os.makedirs(folder)
    polish = os.path.join(folder, "\u017c\u00f3\u0142\u0107.txt")
    shutil.copy(os.path.join(root(), args.samples, "house.txt"), polish)
    env = dict(os.environ, LOCPATH=locale, LC_ALL="pl_PL.UTF-8")
    got = run(args.runner + host + [polish], stdout=subprocess.PIPE, env=env).stdout
    want = run(args.runner + host + [os.path.join(root(), args.samples, "house.txt")],
               stdout=subprocess.PIPE).stdout
    if got != want:
        fail(f"host.exe prints other for {polish} than for house.txt")
    print(f"host.exe in a Polish locale imports {polish}")


def consumer():
    build = os.path.join(args.work, "consumer")
    shutil.rmtree(build, ignore_errors=True)
    configure = ["cmake", "-S", os.path.join(args.source, "tests", "consumer"), "-B", build,
                 "-Dimpordano_DIR=" + os.path.join(root(), "lib", "cmake", "impordano")]
    if args.toolchain:
        configure.append("-DCMAKE_TOOLCHAIN_FILE=" + args.toolchain)
    run(configure, stdout=subprocess.DEVNULL)
    run(["cmake", "--build", build])
    if args.machine:  # the DLL beside the program, as Windows looks there first
        shutil.copy(os.path.join(root(), args.module), build)
    program = os.path.join(build, "consumer.exe" if args.machine else "consumer")
    run(args.runner + [program, os.path.join(root(), args.samples, "house.txt")])


def version():
    for binary in (args.module, args.dump):
        run(args.runner + [args.version_info, os.path.join(root(), binary), args.version,
                           os.path.basename(binary)])


def main():
    global args
    parser = argparse.ArgumentParser()
    parser.add_argument("step", choices=["unpack", "samples", "hosts", "consumer", "version"])
    for option in ("archive", "work", "source", "version", "doc", "samples", "dump", "module",
                   "viewer", "viewer-in-package", "released-viewer", "machine", "cc",
                   "toolchain", "generated", "version-info"):
        parser.add_argument("--" + option)
    for option in ("runner", "listing", "files", "licenses"):
        parser.add_argument("--" + option, action="append", default=[])
    parser.add_argument("--polish-path", action="store_true")
    args = parser.parse_args()
    args.name = os.path.basename(args.archive).removesuffix(".zip").removesuffix(".tar.gz")
    globals()[args.step]()


if __name__ == "__main__":
    main()
