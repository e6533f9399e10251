#!/usr/bin/env bash
# Sets up, builds and checks every target: one CMake workflow preset each
# (CMakePresets.json; see "Changing the code" in README.md), then the
# checks that are not tests. Each stage prints its time; the summary gives
# the tests passed in each build as ctest counted them, the wine retries,
# and "N passed, N failed". A failed stage does not stop the run; it fails
# it at the end.
#
#   IMPORDANO_PRESETS       the workflows (default: all of them)
#   IMPORDANO_CHECKS        the other checks (default: benchmarks html pascal
#                           wasm-speed packages xlsx)
#   IMPORDANO_FUZZ_SECONDS  how long the fuzz test fuzzes (default 180)
set -uo pipefail
cd "$(dirname "$0")/.."

presets=${IMPORDANO_PRESETS-release no-tests asan valgrind fuzz linux32 mingw32 mingw64 wasm}
checks=${IMPORDANO_CHECKS-benchmarks html pascal wasm-speed packages xlsx}
# The build folder of a preset (its binaryDir).
folder() { case $1 in release) echo build ;; no-tests) echo build-notest ;; *) echo "build-$1" ;; esac; }

run_start=$SECONDS times=() failed_stages=()
# stage LABEL COMMAND...: runs the command and notes its time and failure.
stage() {
  local label=$1 start=$SECONDS
  shift
  echo "== $label"
  "$@" || failed_stages+=("$label")
  times+=("$(printf '%-20s %5ds' "$label" $((SECONDS - start)))")
}

stage "Debian packages" bash scripts/setup-debian.sh $presets $checks
# Each retry of a program under wine is a line in its prefix's .retries.
rm -f build*/wineprefix.retries build-packages/wine*.retries
for preset in $presets; do
  rm -f "$(folder "$preset")/test-results.xml"
  stage "$preset" cmake --workflow --preset "$preset"
done
# The wine servers stay a minute after their last program; not after us.
for bits in 32 64; do
  [[ " $presets " != *" mingw$bits "* ]] ||
    cmake/toolchains/wine$bits-run.sh --prefix "$PWD/build-mingw$bits/wineprefix" --kill-server
done

# The checks that are not tests of a build.
for check in $checks; do
  case $check in
    # Speed and memory of whole imports on small generated estimates, and
    # the tallies' throughput: figures for the record, nothing asserted.
    benchmarks) stage benchmarks bash -c 'build/bench/impordano_speed --smoke --dir build &&
                  build/bench/impordano_bench --benchmark_min_time=0.05' ;;
    html) stage "html in a browser" bash scripts/test-html.sh ;;
    # A Free Pascal host through include/impordano.pas, against impordano-dump.
    pascal) stage "pascal host" bash scripts/test-pascal.sh ;;
    # The import under Node beside the native one, and the viewer's size.
    wasm-speed) stage "wasm speed" bash scripts/bench-wasm.sh ;;
    packages) stage "package checks" bash scripts/test-packages.sh ;;
    # Its programs only: the release workflow ran the xlsx-labelled tests.
    xlsx) ;;
    *) echo "run-tests.sh: unknown check $check" >&2; failed_stages+=("$check") ;;
  esac
done

echo "== summary"
printf '%s\n' "${times[@]}"
printf '%-20s %5ds\n' "all stages" $((SECONDS - run_start))
# ctest's JUnit report holds its counts: tests, failures, disabled, skipped.
# A stage that failed with no failed test in it (a build, a check) counts as
# one failure.
total_passed=0 total_failed=0 failing_tests=()
for preset in $presets; do
  report=$(folder "$preset")/test-results.xml
  [[ $preset == no-tests ]] && continue
  if [[ ! -f $report ]]; then
    printf '%-16s no test report\n' "$(folder "$preset")"
    continue
  fi
  skipped=""
  read -r tests failures disabled skipped < <(head -c 1000 "$report" | tr '\n\t' '  ' | sed -nE \
    's/.*<testsuite[^>]* tests="([0-9]+)" +failures="([0-9]+)" +disabled="([0-9]+)" +skipped="([0-9]+)".*/\1 \2 \3 \4/p')
  if [[ -z ${skipped:-} ]]; then
    printf '%-16s no counts in %s\n' "$(folder "$preset")" "$report"
    failed_stages+=("counting $preset")
    continue
  fi
  passed=$((tests - failures - disabled - skipped))
  printf '%-16s %4d passed, %d failed, %d skipped\n' "$(folder "$preset")" "$passed" "$failures" \
    $((disabled + skipped))
  total_passed=$((total_passed + passed)) total_failed=$((total_failed + failures))
  ((failures == 0)) || failing_tests+=("$preset")
done
for label in "${failed_stages[@]}"; do
  [[ " ${failing_tests[*]} " == *" $label "* ]] || total_failed=$((total_failed + 1))
done
echo "wine retries: $(cat build*/wineprefix.retries build-packages/wine*.retries 2>/dev/null | wc -l)"
if ((${#failed_stages[@]})); then
  echo "failed stages: ${failed_stages[*]}"
fi
echo "total: $total_passed passed, $total_failed failed"
((${#failed_stages[@]} == 0 && total_failed == 0))
