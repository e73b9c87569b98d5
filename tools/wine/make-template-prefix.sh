#!/usr/bin/env bash
# Makes the template Wine prefix (32- or 64-bit: KESTORAL_WINE_ARCH) that every test run copies: once per build folder, again
# only when Wine or this script changes. Safe to call from parallel tests: one makes it, the
# others wait on the lock and find it done.
# Usage: make-template-prefix.sh TEMPLATE_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

template=${1:?usage: make-template-prefix.sh TEMPLATE_DIR}
template=$(mkdir -p "$(dirname "$template")" && cd "$(dirname "$template")" && pwd)/$(basename "$template")
stamp_wanted="$kw_arch $(kw_wine --version) $(sha1sum <"$0" | cut -c1-12)"
is_current() { [ "$(cat "$template/.kestoral-stamp" 2>/dev/null)" = "$stamp_wanted" ]; }

is_current && exit 0
exec 9>"$template.lock"
flock 9
is_current && exit 0

started=$(date +%s%N)
work="$template.new.$$"
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work DISPLAY=
cleanup() { kw_stop_prefix "$work"; rm -rf "$work"; }
trap cleanup EXIT

# No Mono or Gecko: their install prompts would wait for a click nobody gives.
# No menu builder: it writes desktop entries into $HOME.
overrides='mscoree,mshtml,winemenubuilder.exe='
kw_start_wineserver || { echo "template: wineserver did not start" >&2; exit 1; }
( kw_close_inherited_fds
  WINEDLLOVERRIDES=$overrides exec "$KW_WINE" wineboot -i </dev/null >"$template.log" 2>&1 ) \
  || { echo "template: wineboot failed, see $template.log" >&2; exit 1; }

reg_add() { ( kw_close_inherited_fds; exec "$KW_WINE" reg add "$@" /f ) >/dev/null 2>&1; }
# Without a window manager a managed window's destroy waits two seconds for the WM; unmanaged
# windows are created and destroyed at once.
reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N &&
# A crashing test program must end, not wait in a crash dialog.
reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 &&
reg_add 'HKCU\Software\Wine\DllOverrides' /v mscoree /t REG_SZ /d '' &&
reg_add 'HKCU\Software\Wine\DllOverrides' /v mshtml /t REG_SZ /d '' &&
reg_add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' \
  || { echo "template: registry set-up failed" >&2; exit 1; }

# Registry files are complete only once the wineserver has written them on exit.
kw_stop_prefix "$work"
trap - EXIT
echo "$stamp_wanted" >"$work/.kestoral-stamp"
rm -rf "$template"
mv "$work" "$template"
echo "template prefix $template made in $(( ($(date +%s%N) - started) / 1000000 )) ms"
