#!/usr/bin/env bash
# Prints what a Wine test pays before its program runs: making the template prefix (once per
# build folder), copying it per test the way the harness does (hard links for Wine's binaries)
# against a plain full copy, and the whole wine-run.sh round trip of a console program.
# Usage: bench-prefix.sh WORK_DIR [PROGRAM.exe]   (WORK_DIR is filled and removed again)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
work=${1:?usage: bench-prefix.sh WORK_DIR [PROGRAM.exe]}
program=${2:-}
mkdir -p "$work" && work=$(cd "$work" && pwd)
trap 'rm -rf "$work/template" "$work/template.lock" "$work/template.log" "$work/runs" "$work/full"' EXIT
ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

start=$(date +%s%N)
"$here/make-template-prefix.sh" "$work/template" >/dev/null || exit 1
echo "template prefix made:       $(ms "$start") ms ($(du -sh "$work/template" | cut -f1))"

rounds=5
start=$(date +%s%N)
for _ in $(seq $rounds); do
  prefix=$(kw_new_prefix "$work/template" "$work/runs") && rm -rf "$prefix"
done
linked=$(( $(ms "$start") / rounds ))
start=$(date +%s%N)
for _ in $(seq $rounds); do
  cp -a "$work/template" "$work/full" && rm -rf "$work/full"
done
full=$(( $(ms "$start") / rounds ))
echo "prefix copy + removal:      $linked ms with hard links, $full ms full copy" \
     "(ratio $(awk "BEGIN { printf \"%.1f\", $full / ($linked > 0 ? $linked : 1) }"))"

if [ -n "$program" ]; then
  start=$(date +%s%N)
  for _ in $(seq $rounds); do
    "$here/wine-run.sh" --template "$work/template" "$program" >/dev/null 2>&1
  done
  echo "wine-run.sh console round trip: $(( $(ms "$start") / rounds )) ms"
  start=$(date +%s%N)
  for _ in $(seq $rounds); do
    "$here/wine-run.sh" --gui --template "$work/template" "$program" >/dev/null 2>&1
  done
  echo "wine-run.sh --gui round trip:   $(( $(ms "$start") / rounds )) ms"
fi
