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

# test_count BUILD_DIR: the number of tests that ctest knows in a build.
test_count() {
  ctest --test-dir "$1" -N | sed -n 's/^Total Tests: //p'
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
