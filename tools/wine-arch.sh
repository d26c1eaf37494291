# shellcheck shell=bash
# Sourced by the scripts that run Windows programs: which Wine runs which build here.
#
#   wine_arch_use win32|win64   exports WINEARCH and WINELOADER for that kind of prefix and
#                               sets WINE_BUILD (build/win32 or build/win64) and
#                               WINE_TOOLCHAIN (the matching CMake toolchain file)
#   wine_can_run_win32          tries the 32-bit Wine loader; status 0 when it starts. Some
#                               kernels have 32-bit emulation switched off, and every 32-bit
#                               program then fails with "Exec format error".
#   wine_probe_line             one line saying what this machine can run
#
# Debian's /usr/bin/wine picks the 32-bit loader whenever it is installed, usable or not, so
# the loaders are named directly; WINELOADER makes Wine's own helper processes use the same.

WINE_LOADER_32=/usr/lib/wine/wine
WINE_LOADER_64=/usr/lib/wine/wine64

wine_arch_use() {
  case "$1" in
    win32) WINELOADER=$WINE_LOADER_32; WINE_BUILD=build/win32; WINE_TOOLCHAIN=cmake/mingw-i686.cmake ;;
    win64) WINELOADER=$WINE_LOADER_64; WINE_BUILD=build/win64; WINE_TOOLCHAIN=cmake/mingw-x86_64.cmake ;;
    *) echo "wine-arch: unknown architecture '$1' (win32 or win64)" >&2; return 2 ;;
  esac
  WINEARCH=$1
  export WINEARCH WINELOADER
}

wine_can_run_win32() {
  [ -x "$WINE_LOADER_32" ] && timeout 30 "$WINE_LOADER_32" --version >/dev/null 2>&1
}

wine_probe_line() {
  if wine_can_run_win32; then
    echo "wine: this machine runs 32-bit and 64-bit Windows programs"
  elif [ -x "$WINE_LOADER_32" ]; then
    echo "wine: this machine cannot run 32-bit programs (the 32-bit Wine loader does not start); 64-bit only"
  else
    echo "wine: 32-bit Wine is not installed here; 64-bit only"
  fi
}
