#!/bin/sh
# Runs a Windows program under Wine the way the Windows build's tests and checks do: in the Wine
# prefix $WINEPREFIX (made on first use, about ten seconds), without Wine's debug output and
# without offers to install Mono or Gecko. Wine maps drive Z: to /.
set -eu
wine=${LEDGRIX_WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/ledgrix-wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Test programs started side by side must not set up one prefix twice.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
