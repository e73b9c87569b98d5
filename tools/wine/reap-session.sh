#!/usr/bin/env bash
# Watches a test process that owns a Wine session; when it is gone without having cleaned up
# (killed at ctest's timeout), stops the session's wineserver and Xvfb and removes its prefix.
# The session kills this watcher by PID when it closes normally.
# Usage: reap-session.sh OWNER_PID PREFIX XVFB_PID(0 = none)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
owner=$1 prefix=$2 xvfb=$3
while kill -0 "$owner" 2>/dev/null; do sleep 0.5; done
kw_stop_prefix "$prefix"
if [ "$xvfb" != 0 ]; then KW_XVFB_PID=$xvfb; kw_stop_xvfb; fi
rm -rf "$prefix"
