#!/usr/bin/env bash
# Prints the Windows architectures whose programs this machine can run under Wine, as the words
# "win32" and "win64" on one line (nothing when neither can). Decided by starting each Wine
# loader, never by guessing: some kernels refuse 32-bit executables altogether (execve of an
# i386 ELF fails with ENOEXEC, "IA-32 emulation off"), and there the 32-bit loader cannot start.
# KESTORAL_NO_WIN32=1 treats the machine as one of those (the path such a machine takes).
# Usage: runnable-arches.sh [--why]   (--why: one line per architecture on stderr)
set -u
why=0
[ "${1:-}" = --why ] && why=1
say() { [ $why = 1 ] && echo "$*" >&2; return 0; }

# probe ARCH LOADER PACKAGE: adds ARCH to `found` when its loader starts.
found=()
probe() {
  if [ ! -x "$2" ]; then
    say "$1: no Wine loader $2 (Debian package $3)"
  elif ! timeout 20 "$2" --version </dev/null >/dev/null 2>&1; then
    say "$1: the Wine loader $2 does not start here"
  else
    found+=("$1")
  fi
}

if [ "${KESTORAL_NO_WIN32:-0}" = 1 ]; then
  say "win32: off (KESTORAL_NO_WIN32=1)"
else
  probe win32 /usr/lib/wine/wine wine32:i386
fi
probe win64 /usr/lib/wine/wine64 wine64
echo "${found[*]}"
