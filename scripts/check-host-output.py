#!/usr/bin/env python3
"""Checks what a host program printed for an estimate against impordano-dump.

Usage: check-host-output.py DESCRIBE_JSONL RECORDS_JSONL HOST_OUTPUT [MIN_PROGRESS]

DESCRIBE_JSONL is `impordano-dump --describe FILE`, RECORDS_JSONL
`impordano-dump FILE`, HOST_OUTPUT what samples/host.c (or the Pascal host,
which prints the same lines) printed for FILE: Windows-1250 lines of
TAB-separated fields. Every record the tool shows must come as the host's
line for it, in the same order, with the same texts (the full text where a
field was cut) and numbers equal to 15 significant digits. Progress lines,
which the tool does not show, must carry a fraction in [0, 1], and there
must be at least MIN_PROGRESS of them. Prints one line of counts.
"""
import json
import math
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


def main():
    if len(sys.argv) not in (4, 5):
        fail("usage: DESCRIBE_JSONL RECORDS_JSONL HOST_OUTPUT [MIN_PROGRESS]")
    with open(sys.argv[1], encoding="utf-8") as f:
        describe = json.loads(f.readline())
    with open(sys.argv[2], encoding="utf-8") as f:
        records = [json.loads(line) for line in f if line.strip()]
    # The five bytes Windows-1250 leaves undefined show as U+FFFD in the tool too.
    with open(sys.argv[3], "rb") as f:
        host = f.read().decode("cp1250", errors="replace").replace("\r\n", "\n").split("\n")
    if host and host[-1] == "":
        host.pop()
    min_progress = int(sys.argv[4]) if len(sys.argv) == 5 else 0

    progress = [line for line in host if line.startswith("progress\t")]
    for line in progress:
        fraction = float(line.split("\t")[1])
        if not 0.0 <= fraction <= 1.0:
            fail("progress outside [0, 1]: " + line)
    if len(progress) < min_progress:
        fail(f"{len(progress)} progress lines, expected at least {min_progress}")
    lines = [line.split("\t") for line in host if not line.startswith("progress\t")]

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
    print(f"{len(records)} records and the description as impordano-dump shows them ({counts})")


main()
