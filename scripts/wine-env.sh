# Sourced by the Wine scripts: the environment in which the windows-x64 build's
# programs run under Wine. Set CONVERTAPI_WINE_BUILD to a build folder other
# than build/windows-x64; its prefix is <build folder>/wine-prefix.
# Never reaches a prefix of the user's own (~/.wine): WINEPREFIX is always set.
convertapi_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CONVERTAPI_WINE_BUILD=$(cd "${CONVERTAPI_WINE_BUILD:-$convertapi_repo/build/windows-x64}" 2>/dev/null && pwd ||
  echo "${CONVERTAPI_WINE_BUILD:-$convertapi_repo/build/windows-x64}")
export CONVERTAPI_WINE_BUILD
export WINEPREFIX=$CONVERTAPI_WINE_BUILD/wine-prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko installer, no desktop menu entries, and no desktop
# process: without a display, explorer.exe fails to make the desktop and then
# keeps every program that starts it waiting for RpcSs (about 10 s each,
# measured). Windows are never made here anyway; the spooler's property-sheet
# path answers the same without it.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;explorer.exe=d"
# The 64-bit loader itself: the "wine" wrapper would try the 32-bit one.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# Written last by scripts/wine-prefix.sh: the prefix is complete.
CONVERTAPI_WINE_READY=$WINEPREFIX/.convertapi-ready
