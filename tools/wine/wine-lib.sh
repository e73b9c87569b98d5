# Shared pieces of the Wine scripts: sourced, never run. Every helper here starts or stops only
# processes it can name by PID or by prefix, so parallel runs never touch each other.

# Wine's own chatter hides test output; KESTORAL_WINE_DEBUG (a WINEDEBUG value) brings it back.
export WINEDEBUG="${KESTORAL_WINE_DEBUG:--all}"

# The prefix architecture: KESTORAL_WINE_ARCH=win32 (default) or win64. /usr/bin/wine picks the
# 32-bit loader whenever wine32 is installed, so a 64-bit prefix names its loader and server
# itself; a 64-bit loader still starts the 32-bit one for a 32-bit program where that can run.
kw_arch=${KESTORAL_WINE_ARCH:-win32}
case $kw_arch in
  win32)
    KW_WINE=wine KW_WINESERVER=wineserver ;;
  win64)
    KW_WINE=/usr/lib/wine/wine64 KW_WINESERVER=/usr/lib/wine/wineserver64
    export WINELOADER=$KW_WINE WINESERVER=$KW_WINESERVER ;;
  *)
    echo "wine: KESTORAL_WINE_ARCH must be win32 or win64, not '$kw_arch'" >&2
    return 2 2>/dev/null || exit 2 ;;
esac
export WINEARCH=$kw_arch

# Wine and its server for the prefix architecture.
kw_wine() { "$KW_WINE" "$@"; }
kw_wineserver() { "$KW_WINESERVER" "$@"; }

# Runs "$@" detached: own session, std streams on /dev/null and no inherited descriptors.
# wineserver and Xvfb outlive the command that starts them; holding ctest's output pipe or a
# lock descriptor they would keep ctest (or the next flock) waiting until they exit.
kw_close_inherited_fds() {
  local fd n
  for fd in /proc/"$BASHPID"/fd/*; do
    n=${fd##*/}
    case $n in 0|1|2|255|*[!0-9]*) ;; *) eval "exec $n>&-" 2>/dev/null ;; esac
  done
}

# Starts the persistent wineserver of $WINEPREFIX; returns once it accepts clients.
kw_start_wineserver() {
  ( kw_close_inherited_fds; exec setsid "$KW_WINESERVER" -p </dev/null >/dev/null 2>&1 )
}

# PIDs of every process whose environment names this prefix (its wineserver and Wine programs).
# The search itself runs without WINEPREFIX, or it would find itself.
kw_prefix_pids() {
  env -u WINEPREFIX grep -lzxF "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null |
    env -u WINEPREFIX sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p'
}

# Stops the wineserver of the prefix, waits for it, and kills any straggler of that prefix.
kw_stop_prefix() {
  local prefix=$1 pids i
  WINEPREFIX=$prefix "$KW_WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 10 "$KW_WINESERVER" -w >/dev/null 2>&1
  for i in $(seq 50); do
    pids=$(kw_prefix_pids "$prefix")
    [ -z "$pids" ] && return 0
    sleep 0.1
  done
  echo "wine: killing leftover processes of $prefix: $pids" >&2
  # shellcheck disable=SC2086
  kill -KILL $pids 2>/dev/null
  return 0
}

# Copies the template prefix to a new folder under $2 and prints its path. Wine's DLLs and
# programs are hard links into the template (50 ms instead of 1.5 s for 600 MB); every other
# file is a real copy. Writers must therefore replace a binary (unlink first), never write into it.
kw_new_prefix() {
  local template=$1 parent=$2 prefix
  mkdir -p "$parent" && prefix=$(mktemp -d "$parent/prefix.XXXXXX") || return 1
  rmdir "$prefix"
  if ! cp -al "$template" "$prefix" 2>/dev/null; then
    rm -rf "$prefix"; cp -a "$template" "$prefix" || return 1
  fi
  find "$prefix" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
      -o -iname '*.nls' -o -iname '*.ocx' -o -iname '*.acm' -o -iname '*.vxd' -o -iname '*.tlb' \
      -o -iname '*.cpl' -o -iname '*.ax' -o -iname '*.ds' -o -iname '*.com' -o -iname '*.mod' \
      -o -iname '*.msstyles' -o -iname '*.icm' \) -links +1 \
    -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} + || return 1
  echo "$prefix"
}

# Starts a private Xvfb on a free display; sets KW_XVFB_PID and exports DISPLAY.
kw_start_xvfb() {
  local screen=${1:-1280x720x24} displayfile i
  displayfile=$(mktemp) || return 1
  ( kw_close_inherited_fds
    exec env -u WINEPREFIX Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
      3>"$displayfile" </dev/null >/dev/null 2>&1 ) &
  KW_XVFB_PID=$!
  for i in $(seq 100); do
    if grep -q '^[0-9]' "$displayfile" 2>/dev/null; then
      export DISPLAY=":$(head -n1 "$displayfile")"
      rm -f "$displayfile"
      return 0
    fi
    kill -0 "$KW_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$displayfile"
  echo "wine: Xvfb did not start" >&2
  kw_stop_xvfb
  return 1
}

kw_stop_xvfb() {
  [ -n "${KW_XVFB_PID:-}" ] || return 0
  kill "$KW_XVFB_PID" 2>/dev/null
  local i
  for i in $(seq 50); do
    kill -0 "$KW_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$KW_XVFB_PID" 2>/dev/null
  wait "$KW_XVFB_PID" 2>/dev/null
  KW_XVFB_PID=
}

# True when $DISPLAY names an X server that answers.
kw_display_reachable() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}
