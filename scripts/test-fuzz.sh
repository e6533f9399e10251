#!/usr/bin/env bash
# Fuzzes the import for a bounded time. The libFuzzer target
# (fuzz/import_fuzz.cc) and the whole module are built with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz, then fed
# mutations of the seeds in fuzz/corpus, guided by fuzz/impordano.dict. Any
# finding fails the run: a crash, a sanitizer report, a leak, an input that
# takes longer than the timeout or more memory than the limit. libFuzzer
# writes the input that caused it to build-fuzz/artifacts and the log is
# build-fuzz/fuzz.log.
#
#   IMPORDANO_FUZZ_SECONDS   how long to fuzz (default 180)
#   IMPORDANO_FUZZ_ARGS      more libFuzzer options, e.g. "-seed=1"
#
# The corpus grows in build-fuzz/corpus (kept between runs, never
# committed); fuzz/corpus only gives the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/targets-common.sh

seconds="${IMPORDANO_FUZZ_SECONDS:-180}"
dir=build-fuzz

timed "fuzz: packages" bash scripts/setup-debian.sh fuzz
# -fno-sanitize-recover: an undefined operation stops the run like a crash,
# instead of a message that libFuzzer would not count as a finding.
timed "fuzz: configure" env CC=clang CXX=clang++ cmake -S . -B "$dir" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DIMPORDANO_BUILD_TOOLS=OFF \
  -DIMPORDANO_BUILD_FUZZERS=ON \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
timed "fuzz: build" cmake --build "$dir" -j"$jobs" --target impordano_fuzz_import

mkdir -p "$dir/corpus" "$dir/artifacts"
rm -f "$dir"/artifacts/*
# -max_len: room for lines longer than the module's line buffer (9191
# bytes). -timeout: seconds per input; the largest import takes
# milliseconds.
fuzz_start=$(date +%s)
status=0
UBSAN_OPTIONS=print_stacktrace=1 "$dir/fuzz/impordano_fuzz_import" \
  -dict=fuzz/impordano.dict -max_total_time="$seconds" -max_len=20000 -timeout=20 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/artifacts/" \
  ${IMPORDANO_FUZZ_ARGS:-} "$dir/corpus" fuzz/corpus > "$dir/fuzz.log" 2>&1 &
fuzzer=$!
wait "$fuzzer" || status=$?
# The target imports each input from a file named after its process.
rm -f "/tmp/impordano_fuzz_$fuzzer.txt"
printf '== fuzz: run: %ds\n' $(($(date +%s) - fuzz_start))

# The seeds' coverage, the last progress line, libFuzzer's figures.
grep -m1 -E '^#[0-9]+[[:space:]]+INITED' "$dir/fuzz.log" || true
grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$dir/fuzz.log" | tail -n 1 || true
grep -E '^stat::' "$dir/fuzz.log" || true
if ((status != 0)) || compgen -G "$dir/artifacts/*" > /dev/null; then
  echo "fuzz: FINDING (libFuzzer exit status $status); the end of $dir/fuzz.log:" >&2
  tail -n 60 "$dir/fuzz.log" >&2
  ls -l "$dir"/artifacts >&2
  exit 1
fi
echo "== fuzz: no finding in ${seconds}s; corpus $(ls "$dir/corpus" | wc -l) inputs"
