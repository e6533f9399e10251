# Shared by run-tests.sh and the target scripts: sourced, not run.

jobs="${IMPORDANO_JOBS:-$(nproc)}"

# timed LABEL COMMAND...: runs the command and prints how long it took.
timed() {
  local label="$1" start end
  shift
  start=$(date +%s)
  "$@"
  end=$(date +%s)
  printf '== %s: %ds\n' "$label" $((end - start))
}

# Test results are kept as XML reports in BUILD_DIR/test-results: JUnit
# from ctest, the GoogleTest report from a suite run on its own.

# run_ctest BUILD_DIR [CTEST ARGS...]: runs a build's tests with ctest and
# keeps the report that test_count reads.
run_ctest() {
  local dir="$1"
  shift
  mkdir -p "$dir/test-results"
  rm -f "$dir/test-results/ctest.xml"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" \
    --output-junit "$(cd "$dir" && pwd)/test-results/ctest.xml" "$@"
}

# gtest_report BUILD_DIR NAME: the --gtest_output option that puts a
# GoogleTest binary's report where test_count finds it.
gtest_report() {
  mkdir -p "$1/test-results"
  rm -f "$1/test-results/$2.xml"
  echo "--gtest_output=xml:$(cd "$1" && pwd)/test-results/$2.xml"
}

# test_count BUILD_DIR: the number of tests that passed in the build's last
# runs: test cases that ran and neither failed nor were skipped, over all
# reports in BUILD_DIR/test-results. A build whose ctest ran without
# run_ctest has no report; ctest's own log then gives the tests that it
# marked passed.
test_count() {
  local reports=("$1"/test-results/*.xml)
  if [[ -f "${reports[0]}" ]]; then
    awk '
      function close_case() { if (open) passed += ok; open = 0 }
      /<testcase[ >]/ {
        close_case()
        open = 1
        ok = $0 ~ /status="run"/ && $0 !~ /result="(skipped|suppressed)"/
        if ($0 ~ /\/>[[:space:]]*$/) close_case()
        next
      }
      open && /<(failure|error|skipped)[ >\/]/ { ok = 0 }
      open && /<\/testcase>/ { close_case() }
      END { close_case(); print passed + 0 }' "${reports[@]}"
  elif [[ -f "$1/Testing/Temporary/LastTest.log" ]]; then
    grep -c '^Test Passed\.$' "$1/Testing/Temporary/LastTest.log" || true
  else
    echo 0
  fi
}

# The native build, the reference output for the cross builds' comparisons.
# run-tests.sh has built it already; a target script run on its own builds
# it here.
ensure_native_build() {
  if [[ ! -f build/CMakeCache.txt ]]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build build -j"$jobs"
}
