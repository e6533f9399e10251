#!/usr/bin/env python3
"""Holds what a host program prints for an estimate to impordano-dump.

Usage: check-host-output.py [--runner WORD]... [--progress N] DUMP FILE HOST [ARG]...

Runs `DUMP --describe FILE`, `DUMP FILE` and `HOST ARG... FILE`, each after
the runner's words (an emulator: wine, qemu). HOST is samples/host.c (or
the Pascal host, which prints the same lines): Windows-1250 lines of
TAB-separated fields. Every record the tool shows must come as the host's
line for it, in the same order, with the same texts (the full text where a
field was cut) and numbers equal to 15 significant digits. A host that
prints `token<TAB>TYPE` lines instead (samples/loader.c) is held to the
token types. Progress lines, which the tool does not show, must carry a
fraction in [0, 1] (or be token 22), at least N of them. Prints one line of
counts.
"""
import argparse
import json
import math
import subprocess
import sys


def fail(message):
    sys.exit("check-host-output.py: " + message)


def expected_lines(describe, records):
    yield ["description", describe["description"]]
    for r in records:
        kind = r["record"]
        if kind == "EstimateRecord":
            yield ["estimate", r["name"]]
        elif kind == "SummaryRecord":
            for item in r["items"]:
                yield ["surcharge", item["name"], item["rate"]]
        elif kind == "ElementRecord":
            line = ["element", r["depth"], r["description"]]
            for item in r["quantityItems"] or []:
                line += [item["quantity"], item["unit"]]
            yield line
        elif kind == "PositionRecord":
            yield ["position", r["catalogueReference"], r["description"], r["quantity"], r["unit"]]
        elif kind == "MeasurementLineRecord":
            yield ["take-off", r["measurement"], r["comment"]]
        elif kind == "ResourceRecord":
            yield ["resource", r["kind"] or "-", r["name"], r["consumption"], r["unit"], r["price"]]
        else:
            fail("unknown record " + kind)


def same(want, got):
    if isinstance(want, bool) or not isinstance(want, (int, float, str)):
        return False
    if isinstance(want, str):
        return want == got
    try:
        value = float(got)
    except ValueError:
        return False
    return value == want or math.isclose(value, want, rel_tol=1e-14, abs_tol=1e-300)


def run(command):
    done = subprocess.run(command, stdout=subprocess.PIPE)
    if done.returncode != 0:
        fail(f"{' '.join(command)} exited with {done.returncode}")
    return done.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", action="append", default=[])
    parser.add_argument("--progress", type=int, default=0)
    parser.add_argument("dump")
    parser.add_argument("file")
    parser.add_argument("host", nargs="+")
    args = parser.parse_args()
    describe = json.loads(run(args.runner + [args.dump, "--describe", args.file]).decode())
    records = [json.loads(line) for line in run(args.runner + [args.dump, args.file]).decode().splitlines()]
    # The five bytes Windows-1250 leaves undefined show as U+FFFD in the tool too.
    host = run(args.runner + args.host + [args.file]).decode("cp1250", errors="replace")
    host = host.replace("\r\n", "\n").split("\n")
    if host and host[-1] == "":
        host.pop()

    progress = [line for line in host if line.startswith("progress\t") or line == "token\t22"]
    for line in progress:
        fraction = float(line.split("\t")[1]) if line.startswith("progress") else 0.5
        if not 0.0 <= fraction <= 1.0:
            fail("progress outside [0, 1]: " + line)
    if len(progress) < args.progress:
        fail(f"{len(progress)} progress lines, expected at least {args.progress}")
    lines = [line.split("\t") for line in host if line not in progress]

    if len(lines) > 1 and lines[1][0] == "token":
        want = [["description", describe["description"]]] + [["token", str(r["token"])] for r in records]
    else:
        want = list(expected_lines(describe, records))
    for number, (w, g) in enumerate(zip(want, lines), 1):
        if len(w) != len(g) or not all(same(a, b) for a, b in zip(w, g)):
            fail(f"line {number} (progress lines left out): host printed {g}, impordano-dump shows {w}")
    if len(want) != len(lines):
        fail(f"host printed {len(lines)} lines besides progress, impordano-dump shows {len(want)}")
    kinds = {}
    for r in records:
        kinds[r["token"]] = kinds.get(r["token"], 0) + 1
    if progress:
        kinds[22] = len(progress)
    counts = ", ".join(f"{kinds[t]} of token {t}" for t in sorted(kinds))
    print(f"{' '.join(args.host)}: {len(records)} records and the description as impordano-dump "
          f"shows them ({counts})")


main()
