#!/bin/sh
# Installs the Debian packages named in $PKGS that are missing.
# As root it runs apt-get; otherwise it prints the exact command and stops.
set -eu
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $missing
else
  echo "Missing packages. Run as root:"
  echo "  apt-get install -y$missing"
  exit 1
fi
