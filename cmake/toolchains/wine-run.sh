#!/usr/bin/env bash
# Runs a Windows program under wine in a prefix of its own; wine32-run.sh
# and wine64-run.sh call it with their architecture, and the MinGW
# toolchains make those CMake's cross-compiling emulator.
#
#   wine-run.sh --arch win32|win64 [--prefix DIR] [--binary] PROGRAM.exe ARGS...
#   wine-run.sh --arch win32|win64 [--prefix DIR] --boot | --kill-server
#
# --arch      win32: the 32-bit wine (wine32:i386); win64: wine64. A prefix
#             holds programs of one width only.
# --prefix    the wine prefix, made on first use (default $WINEPREFIX, else
#             ~/.wine-impordano32 or ~/.wine-impordano)
# --binary    pass the output on unchanged; by default the CR of each CR LF
#             is dropped, so that ctest reads it as a native program's
# --boot      only make the prefix and start its wine server
# --kill-server  end the prefix's wine server, which outlives the last
#             program by a minute
set -euo pipefail

arch="" prefix="" binary=0 action=run
while (($#)); do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    --binary) binary=1; shift ;;
    --boot) action=boot; shift ;;
    --kill-server) action=kill; shift ;;
    *) break ;;
  esac
done
# IMPORDANO_WINE_DIR: another wine's programs, for the tests of this script.
dir=${IMPORDANO_WINE_DIR:-/usr/lib/wine}
case "$arch" in
  # The server speaks one protocol to programs of either width; wine32
  # brings its own, wine64 another.
  win32) wine=$dir/wine servers="wineserver32 wineserver64" suffix=32
         package="wine32:i386 (after dpkg --add-architecture i386)" ;;
  win64) wine=$dir/wine64 servers=wineserver64 suffix="" package=wine64 ;;
  *) echo "wine-run.sh: --arch win32 or --arch win64 first" >&2; exit 2 ;;
esac
me=wine${arch#win}-run.sh
wineserver=""
for server in $servers; do
  [[ -x $dir/$server ]] && { wineserver=$dir/$server; break; }
done
if [[ ! -x $wine || -z $wineserver ]]; then
  echo "$me: no $wine or wineserver (apt-get install $package)" >&2
  exit 2
fi

export WINEPREFIX=${prefix:-${WINEPREFIX:-$HOME/.wine-impordano$suffix}} WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to install wine's .NET and HTML engines; nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [[ $action == kill ]]; then
  [[ -d $WINEPREFIX ]] && { "$wineserver" -k; "$wineserver" -w; } 2>/dev/null || true
  exit 0
fi

# Under a lock, so that parallel tests do nothing twice: the prefix is made
# on first use (its registry files appear only when the server exits, so a
# marker of our own says it is complete); a server is started that stays a
# minute after its last program (one that wine starts itself exits after
# three seconds, and a program starting then loses its connection); and
# when that server is new, wine's background programs are started by a
# wineboot of our own with no output attached (started by the program to
# run, they would hold its output open and ctest would wait for them).
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f $WINEPREFIX/.impordano-ready ]]; then
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&- || true
  if ! "$wine" wineboot -i </dev/null >"$WINEPREFIX.boot.log" 2>&1 9>&-; then
    cat "$WINEPREFIX.boot.log" >&2
    echo "$me: wineboot failed for $WINEPREFIX" >&2
    exit 2
  fi
  touch "$WINEPREFIX/.impordano-ready"
elif "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&-; then
  "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
fi
exec 9>&-
[[ $action == boot ]] && exit 0
(($#)) || { echo "usage: $me [--prefix DIR] [--binary] PROGRAM ARGS..." >&2; exit 2; }

# Now and then wine itself fails a run that the program would have passed.
# Wine 8 dies of SIGSEGV, status 139, as a program exits (about once in a
# thousand runs, ctest running two at a time); a Windows program that
# faults ends with an exception status of its own, never 139. And, more
# rarely, a run fails at once with nothing printed at all: the program never
# started. A run is made once more only in those two cases: status 139 with
# GoogleTest's final result line in the held output, or a GoogleTest run
# (its arguments name --gtest_ options) that failed with no output on either
# stream, where GoogleTest prints its first line before anything else. A
# program that fails so every time still fails.
# Each retry is a line in $WINEPREFIX.retries, which scripts/run-tests.sh
# counts.
output=$(mktemp) errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
for attempt in 1 2; do
  status=0
  "$wine" "$@" >"$output" 2>"$errors" || status=$?
  ((status != 0 && attempt == 1)) || break
  if ((status == 139)) && grep -Eq '^\[  (PASSED|FAILED)  \] [0-9]+ tests?[,.]' "$output"; then
    echo "$me: wine died (SIGSEGV) after $1 finished its work; running it once more" >&2
  elif [[ " $* " == *" --gtest_"* && ! -s $output && ! -s $errors ]]; then
    echo "$me: $1 failed (status $status) before it printed anything; running it once more" >&2
  else
    break
  fi
  echo "$*" >>"$WINEPREFIX.retries"
done
cat "$errors" >&2
if ((binary)); then cat "$output"; else sed 's/\r$//' "$output"; fi
exit "$status"
