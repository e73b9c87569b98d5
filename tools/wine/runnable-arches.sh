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

starts() { timeout 20 "$1" --version </dev/null >/dev/null 2>&1; }

found=()
if [ "${KESTORAL_NO_WIN32:-0}" = 1 ]; then
  say "win32: off (KESTORAL_NO_WIN32=1)"
elif [ ! -x /usr/lib/wine/wine ]; then
  say "win32: no 32-bit Wine loader (/usr/lib/wine/wine; Debian package wine32:i386)"
elif ! starts /usr/lib/wine/wine; then
  say "win32: the 32-bit Wine loader does not start here (32-bit execution off?)"
else
  found+=(win32)
fi
if [ ! -x /usr/lib/wine/wine64 ]; then
  say "win64: no 64-bit Wine loader (/usr/lib/wine/wine64; Debian package wine64)"
elif ! starts /usr/lib/wine/wine64; then
  say "win64: the 64-bit Wine loader does not start here"
else
  found+=(win64)
fi
echo "${found[*]}"
