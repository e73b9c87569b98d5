#!/usr/bin/env bash
# Installs the player control and the default movie into a Wine prefix, as the installer does on
# Windows: the DLL and swf\Default.{swf,txt,bmp} into C:\Program Files\Kestoral, the control
# registered with regsvr32 (it keeps its hands off a Flash control registered before it), and
# Install_Dir pointing there. Repeatable: a second run refreshes the files and the registration.
# Usage: install-into-prefix.sh BIN_DIR   (WINEPREFIX set, its wineserver running; the prefix
# architecture from KESTORAL_WINE_ARCH as in tools/wine/wine-lib.sh, matching BIN_DIR's)
# Exit status: 0 installed and registered; 3 another control holds the class id (files
# installed, registration left alone); 1 anything else failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/wine-lib.sh"
bin_dir=${1:?usage: install-into-prefix.sh BIN_DIR}
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
movie_dir=$here/../../resources/movie
dll=$bin_dir/swfplayer-control.dll
[ -f "$dll" ] || { echo "install: $dll is not built" >&2; exit 1; }

install_win='C:\Program Files\Kestoral'
install_unix=$WINEPREFIX/drive_c/Program\ Files/Kestoral
mkdir -p "$install_unix/swf" || exit 1
cp -f "$dll" "$install_unix/swfplayer-control.dll" || exit 1
cp -f "$movie_dir"/Default.swf "$movie_dir"/Default.txt "$movie_dir"/Default.bmp "$install_unix/swf/" || exit 1

quiet() { "$@" </dev/null >/dev/null 2>&1; }
quiet kw_wine reg add 'HKLM\SOFTWARE\OrvinSoftware\MarvaneScreenSaver' /v Install_Dir /t REG_SZ \
  /d "$install_win" /f || { echo "install: cannot set Install_Dir" >&2; exit 1; }

# regsvr32 reports DllRegisterServer's failure (SELFREG_E_CLASS: the class id is another
# server's) with a non-zero status; the registry then tells which case it was.
quiet kw_wine regsvr32 /s "$install_win\\swfplayer-control.dll" && exit 0
server=$(kw_wine reg query 'HKCR\CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}\InprocServer32' /ve 2>/dev/null </dev/null |
         tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
if [ -n "$server" ]; then
  echo "install: the Flash class id is registered to $server; left as it is" >&2
  exit 3
fi
echo "install: regsvr32 failed" >&2
exit 1
