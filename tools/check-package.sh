#!/bin/sh
# Checks the Debian package that make package wrote into BUILD: the desktop entry and the
# AppStream metadata it ships pass their validators, and its ledgrix-cli runs from the unpacked
# files and names the package's version.
set -eu
build=${1:-build}
set -- "$build"/ledgrix_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "check-package: expected one ledgrix_*.deb in $build" >&2
  exit 1
fi
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

version=$(dpkg-deb -f "$deb" Version)
said=$("$root"/usr/bin/ledgrix-cli --version)
if [ "$said" != "ledgrix-cli $version" ]; then
  echo "check-package: the packaged ledgrix-cli --version says '$said', the package is $version" >&2
  exit 1
fi
echo "$deb: $said; Depends: $(dpkg-deb -f "$deb" Depends)"
