#!/usr/bin/env bash
# Runs a Windows program under wine, in a prefix of its own; wine32-run.sh
# and wine64-run.sh call it with their architecture, and the MinGW
# toolchains make those CMake's cross-compiling emulator.
#
#   wine-run.sh --arch win32|win64 [--prefix DIR] [--binary] PROGRAM.exe ARGS...
#   wine-run.sh --arch win32|win64 [--prefix DIR] --boot | --kill-server
#
# --arch          win32: 32-bit programs, under the 32-bit wine (wine32:i386);
#                 win64: 64-bit programs, under wine64
# --prefix DIR    the wine prefix, created on first use (without it:
#                 $WINEPREFIX, else ~/.wine-impordano for win64 and
#                 ~/.wine-impordano32 for win32)
# --binary        pass the program's output on unchanged; by default the CR
#                 of each CR LF that a text-mode stdout writes is dropped, so
#                 that ctest and gtest_discover_tests read the output as
#                 they read a native program's
# --boot          only create the prefix (the first start takes about ten
#                 seconds) and start its wine server
# --kill-server   end the prefix's wine server, which otherwise outlives
#                 the last program by a minute
set -euo pipefail

arch=""
prefix=""
binary=0
action=run
while (($#)); do
  case "$1" in
    --arch) arch="$2"; shift 2 ;;
    --prefix) prefix="$2"; shift 2 ;;
    --binary) binary=1; shift ;;
    --boot) action=boot; shift ;;
    --kill-server) action=kill; shift ;;
    *) break ;;
  esac
done

# A prefix holds programs of one width only: a win32 prefix has no 64-bit
# system, and a 64-bit wine cannot start 32-bit programs without wine32.
case "$arch" in
  win64)
    me=wine64-run.sh
    wine=/usr/lib/wine/wine64
    wineservers=(/usr/lib/wine/wineserver64)
    package=wine64
    default_prefix="$HOME/.wine-impordano" ;;
  win32)
    me=wine32-run.sh
    wine=/usr/lib/wine/wine
    # The server speaks one protocol to programs of either width; wine32
    # brings its own, wine64 another.
    wineservers=(/usr/lib/wine/wineserver32 /usr/lib/wine/wineserver64)
    package="wine32:i386 (after dpkg --add-architecture i386)"
    default_prefix="$HOME/.wine-impordano32" ;;
  *)
    echo "wine-run.sh: --arch win32 or --arch win64 first" >&2
    exit 2 ;;
esac

if [[ ! -x "$wine" ]]; then
  echo "$me: $wine not found (apt-get install $package)" >&2
  exit 2
fi
wineserver=""
for candidate in "${wineservers[@]}"; do
  if [[ -x "$candidate" ]]; then
    wineserver=$candidate
    break
  fi
done
if [[ -z "$wineserver" ]]; then
  echo "$me: no wineserver in ${wineservers[*]} (apt-get install $package)" >&2
  exit 2
fi

export WINEPREFIX="${prefix:-${WINEPREFIX:-$default_prefix}}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=$arch
# No prompts to install wine's .NET and HTML engines; nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [[ $action == kill ]]; then
  if [[ -d "$WINEPREFIX" ]]; then
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
  fi
  exit 0
fi

# Before a program runs, under a lock so that parallel tests do nothing
# twice:
# - the prefix is created on first use (wineboot -i); the registry files
#   appear only when the wine server exits, so a marker of our own says
#   that the prefix is complete;
# - a wine server is started that stays a minute after its last program. One
#   that wine starts on its own exits three seconds after the last program,
#   and a program starting in that moment loses its connection ("recvmsg:
#   Connection reset by peer");
# - when that server is new, wine's background programs (services.exe and
#   the like, which live as long as the server) are started by a wineboot
#   of our own, with no output attached. Started by the program to run,
#   they would inherit its standard output and error and keep them open,
#   and ctest would wait for the server to end.
ready="$WINEPREFIX/.impordano-ready"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [[ ! -f "$ready" ]]; then
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&- || true
  if ! "$wine" wineboot -i </dev/null >"$WINEPREFIX.boot.log" 2>&1 9>&-; then
    cat "$WINEPREFIX.boot.log" >&2
    echo "$me: wineboot failed for $WINEPREFIX" >&2
    exit 2
  fi
  touch "$ready"
elif "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&-; then
  "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
fi
flock -u 9
exec 9>&-
[[ $action == boot ]] && exit 0

if (($# == 0)); then
  echo "usage: $me [--prefix DIR] [--binary] PROGRAM ARGS..." >&2
  exit 2
fi
# Now and then, about once in a thousand runs with ctest running two at a
# time, wine 8 itself dies of SIGSEGV (status 139) while a program that has
# finished its work exits. That is wine's own crash: a Windows program that
# faults is caught by wine and ends with an exception status of its own,
# never 139. Such a run is made once more; its output is held back until
# then, so that only one run's output is passed on.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  status=0
  "$wine" "$@" >"$output" || status=$?
  if ((status != 139 || attempt == 2)); then break; fi
  echo "$me: wine crashed (SIGSEGV) as the program ended; running it once more" >&2
done
if ((binary)); then
  cat "$output"
else
  sed 's/\r$//' "$output"
fi
exit "$status"
