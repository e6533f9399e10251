#!/usr/bin/env bash
# Sets up and checks every target: the Debian packages, then one CMake
# workflow preset after another (CMakePresets.json; see "Changing the code"
# in README.md). Each workflow configures and builds its folder and runs its
# ctest tests; the package workflows make their package first and check it.
# Each stage prints its time. The summary gives each preset's tests as
# ctest counted them in its JUnit report (build-reports/PRESET.xml), with
# the reasons of the skipped ones, the benchmarks' figures, the wine
# retries and a total; last, the share of tests in all code. A failed stage
# does not stop the run; it fails it at the end.
#
#   IMPORDANO_PRESETS       the workflows (default: all of them, the viewer's
#                           build, wasm, before the packages that hold it)
#   IMPORDANO_FUZZ_SECONDS  how long the fuzz test fuzzes (default 90)
set -uo pipefail
cd "$(dirname "$0")/.."

presets=${IMPORDANO_PRESETS-release no-tests asan valgrind fuzz linux32 mingw32 mingw64 wasm
  package-linux package-win32 package-win64}

run_start=$SECONDS times=() failed_stages=()
# stage LABEL COMMAND...: runs the command and notes its time and failure.
stage() {
  local label=$1 start=$SECONDS
  shift
  echo "== $label"
  "$@" || failed_stages+=("--failed-stage=$label")
  times+=("$(printf '%-20s %5ds' "$label" $((SECONDS - start)))")
}

stage "Debian packages" bash scripts/setup-debian.sh $presets
# Each retry of a program under wine is a line in its prefix's .retries.
rm -f build*/wineprefix.retries
for preset in $presets; do
  rm -f "build-reports/$preset.xml"
  stage "$preset" cmake --workflow --preset "$preset"
done
# The wine servers stay a minute after their last program; not after us.
for bits in 32 64; do
  [[ ! -d build-mingw$bits/wineprefix ]] ||
    cmake/toolchains/wine$bits-run.sh --prefix "$PWD/build-mingw$bits/wineprefix" --kill-server
done

echo "== summary"
printf '%s\n' "${times[@]}"
printf '%-20s %5ds\n' "all stages" $((SECONDS - run_start))
python3 scripts/summarize-reports.py "${failed_stages[@]}" $presets
status=$?

# The share of tests in all code, by cloc: the tests are the files under
# tests/, the test folders inside tools/ (tools/page/tests; the tool's own
# tools/tests is not matched, as in the count the share was first measured
# by), web/tests and fuzz/, and scripts/test-*, check-*, mutate*; data and
# goldens are left out.
ex='--exclude-ext=txt,jsonl,json,html,golden,dict,png,xlsx,csv,md,lock --exclude-dir=corpus,goldens,golden,data,node_modules'
lists=$(mktemp -d)
git ls-files >"$lists/all"
grep -E '^(tests/|tools/.*/tests/|web/tests/|fuzz/|scripts/(test-|check-|mutate))' "$lists/all" >"$lists/tests"
code_lines() { cloc $ex --list-file="$1" --quiet --csv | awk -F, '$2 == "SUM" { print $5 }'; }
tests=$(code_lines "$lists/tests") all=$(code_lines "$lists/all")
rm -rf "$lists"
awk -v t="$tests" -v a="$all" 'BEGIN { printf "tests: %d of %d code lines (%.1f %%)\n", t, a, 100 * t / a }'
exit $status
