#!/usr/bin/env bash
# `make run`: starts the full-screen show of the freshly built screen saver under Wine.
# With a reachable X display the show opens there and runs until you end it. On a headless
# machine it runs on a private Xvfb: after a few seconds a screenshot is saved, a key press ends
# the show, and the screenshot's path is printed.
#
# Usage: run-show.sh BIN_DIR (or the build folder that holds bin/)
# The Wine prefix BIN_DIR/../run-prefix is kept between runs (settings made there stay).
# KESTORAL_SHOW_PROGRAM (default kestoral.scr), KESTORAL_SHOW_DIR (default BIN_DIR/..: where
# run-prefix and show.png live), KESTORAL_SHOW_SECONDS (default 5, counted from the moment a
# window appears), KESTORAL_SHOW_HEADLESS=1
# forces the Xvfb run even where a display exists, KESTORAL_SHOW_SETUP: a script run as
# `SCRIPT BIN_DIR` with WINEPREFIX set and the wineserver up before the show (default: the
# player control's player/control/install-into-prefix.sh; empty: none),
# KESTORAL_SHOW_REGISTER="a.dll b.ocx": COM servers in BIN_DIR registered (regsvr32) as well,
# KESTORAL_SHOW_TEMPLATE: a template prefix to copy for a new run prefix (default: the build
# folder's wine/template when the tests made one) instead of booting one from scratch.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"

bin_dir=$(cd "${1:?usage: run-show.sh BIN_DIR}" && pwd) || exit 2
program_name=${KESTORAL_SHOW_PROGRAM:-kestoral.scr}
if [ ! -f "$bin_dir/$program_name" ] && [ -f "$bin_dir/bin/$program_name" ]; then
  bin_dir=$bin_dir/bin
fi
program=$bin_dir/$program_name
show_dir=${KESTORAL_SHOW_DIR:-$(dirname "$bin_dir")}
seconds=${KESTORAL_SHOW_SECONDS:-5}
[ -f "$program" ] || { echo "run-show: $program is not built" >&2; exit 1; }
mkdir -p "$show_dir" && show_dir=$(cd "$show_dir" && pwd)

prefix=$show_dir/run-prefix
template=${KESTORAL_SHOW_TEMPLATE:-$(dirname "$bin_dir")/wine/template}
if [ ! -e "$prefix" ] && [ -f "$template/.kestoral-stamp" ]; then
  # A full copy: this prefix lives on and changes, so it shares no files with the template.
  cp -a "$template" "$prefix.new.$$" && mv "$prefix.new.$$" "$prefix"
fi
"$here/make-template-prefix.sh" "$prefix" >&2 || exit 1
export WINEPREFIX=$prefix
KW_XVFB_PID=
show_pid=
cleanup() {
  [ -n "$show_pid" ] && kill -KILL "$show_pid" 2>/dev/null
  kw_stop_prefix "$prefix"
  kw_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

setup_script=${KESTORAL_SHOW_SETUP-$here/../../player/control/install-into-prefix.sh}
register_servers() {
  local server
  if [ -n "$setup_script" ] && [ -f "$setup_script" ]; then
    bash "$setup_script" "$bin_dir" </dev/null >&2 ||
      echo "run-show: $setup_script ended with status $?" >&2
  fi
  for server in ${KESTORAL_SHOW_REGISTER:-}; do
    kw_wine regsvr32 /s "$bin_dir/$server" </dev/null >/dev/null 2>&1 ||
      echo "run-show: registering $server failed" >&2
  done
}

if [ "${KESTORAL_SHOW_HEADLESS:-0}" != 1 ] && kw_display_reachable; then
  echo "run-show: showing on $DISPLAY; a key press, a click or a mouse move ends the show" >&2
  kw_start_wineserver || { echo "run-show: wineserver did not start" >&2; exit 1; }
  register_servers
  kw_wine "$program" /s
  exit $?
fi

kw_start_xvfb 1280x720x24 || exit 1
kw_start_wineserver || { echo "run-show: wineserver did not start" >&2; exit 1; }
register_servers
log=$show_dir/show.log
"$KW_WINE" "$program" /s >"$log" 2>&1 &
show_pid=$!
# On a loaded machine Wine can take many seconds to open the window, so the wait for the
# screenshot starts once a window is mapped (or after KESTORAL_SHOW_WINDOW_WAIT, 60 s).
for _ in $(seq $(( ${KESTORAL_SHOW_WINDOW_WAIT:-60} * 10 ))); do
  xdotool search --onlyvisible --class . >/dev/null 2>&1 && break
  kill -0 "$show_pid" 2>/dev/null || break
  sleep 0.1
done
sleep "$seconds"
if ! kill -0 "$show_pid" 2>/dev/null; then
  wait "$show_pid"
  echo "run-show: the show ended by itself (exit code $?) before the screenshot; see $log" >&2
  show_pid=
  exit 1
fi

screenshot=$show_dir/show.png
import -window root -depth 8 "PNG24:$screenshot" || { echo "run-show: screenshot failed" >&2; exit 1; }
xdotool key space

ended() {
  local _
  for _ in $(seq 50); do
    kill -0 "$show_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# A show that needs a second key (an error box took the first, as when the Flash control is not
# registered) is reported with a screenshot of what the first key left; one that ignores keys
# altogether is killed and fails the run.
rc=0
if ! ended; then
  import -window root -depth 8 "PNG24:$show_dir/show-after-key.png"
  echo "run-show: the show did not end on the first key; see $show_dir/show-after-key.png" >&2
  xdotool key space
fi
if ! ended; then
  echo "run-show: the show did not end on a second key either; killed" >&2
  rc=1
else
  wait "$show_pid"
  code=$?
  [ "$code" -eq 0 ] || { echo "run-show: the show exited with code $code" >&2; rc=1; }
  show_pid=
fi
echo "$screenshot"
exit $rc
