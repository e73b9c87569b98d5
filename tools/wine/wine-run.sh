#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh prefix and removes every trace afterwards:
# copy of the template prefix, its own wineserver, optionally a private Xvfb. The program's exit
# code is passed through; a program that outlives the timeout is killed and 124 is returned.
# This is the CMAKE_CROSSCOMPILING_EMULATOR of the Windows build.
#
# Usage: wine-run.sh --template DIR [--gui] [--timeout S] [--version win98] [--] PROGRAM [ARGS...]
# The environment can set the same: KESTORAL_WINE_GUI=1, KESTORAL_WINE_TIMEOUT=S,
# KESTORAL_WINE_VERSION=win98, KESTORAL_WINE_DLLOVERRIDES="mpr=n,b other=d" (space-separated,
# added to WINEDLLOVERRIDES);
# KESTORAL_WINE_ARCH=win32|win64 the prefix architecture (default win32, the template's own);
# KESTORAL_WINE_DEBUG sets WINEDEBUG; KESTORAL_WINE_KEEP=1 keeps the prefix for a post-mortem.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

template=${KESTORAL_WINE_TEMPLATE:-}
gui=${KESTORAL_WINE_GUI:-0}
timeout_s=${KESTORAL_WINE_TIMEOUT:-120}
version=${KESTORAL_WINE_VERSION:-}
while [ $# -gt 0 ]; do
  case $1 in
    --template) template=$2; shift 2 ;;
    --gui) gui=1; shift ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh --template DIR [--gui] [--timeout S] PROGRAM [ARGS...]" >&2; exit 2; }
[ -n "$template" ] || { echo "wine-run: no template prefix given" >&2; exit 2; }
# Wine wants an absolute prefix path; a relative one given by hand would name no server socket.
template=$(realpath -m -- "$template")

# A first run on a fresh machine makes the template itself (a no-op once it exists).
"$here/make-template-prefix.sh" "$template" >&2 || exit 1

prefix=$(kw_new_prefix "$template" "$(dirname "$template")/runs") || { echo "wine-run: cannot copy $template" >&2; exit 1; }
export WINEPREFIX=$prefix
KW_XVFB_PID=
reaper_pid=
cleanup() {
  [ -n "$reaper_pid" ] && kill "$reaper_pid" 2>/dev/null
  kw_stop_prefix "$prefix"
  kw_stop_xvfb
  if [ "${KESTORAL_WINE_KEEP:-0}" = 1 ]; then echo "wine-run: kept $prefix" >&2; else rm -rf "$prefix"; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ -n "${KESTORAL_WINE_DLLOVERRIDES:-}" ]; then
  overrides=$(echo "$KESTORAL_WINE_DLLOVERRIDES" | tr -s ' ' ';')
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}$overrides"
fi
if [ -n "$version" ]; then
  # The server is not running yet, so the registry file can simply be extended.
  printf '\n[Software\\\\Wine]\n"Version"="%s"\n' "$version" >>"$prefix/user.reg"
fi

if [ "$gui" = 1 ]; then
  kw_start_xvfb "${KESTORAL_XVFB_SCREEN:-1280x720x24}" || exit 1
else
  # Console programs need no X server; an empty DISPLAY keeps Wine from looking for one.
  export DISPLAY=
fi
# Should ctest kill this script outright (SIGKILL at its own timeout), the reaper cleans up.
( kw_close_inherited_fds
  exec env -u WINEPREFIX setsid "$here/reap-session.sh" $$ "$prefix" "${KW_XVFB_PID:-0}" </dev/null >/dev/null 2>&1 ) &
reaper_pid=$!
kw_start_wineserver || { echo "wine-run: wineserver did not start" >&2; exit 1; }

timeout --kill-after=5 "$timeout_s" "$KW_WINE" "$@"
rc=$?
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
  echo "wine-run: $1 killed after the ${timeout_s} s timeout" >&2
  rc=124
fi
exit $rc
