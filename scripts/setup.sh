#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need.
# Safe to run again: only missing packages are installed.
set -euo pipefail

PKGS="libbullet-dev libsdl2-dev libopenal-dev libstb-dev libgtest-dev libgmock-dev
libbenchmark-dev pkg-config cmake g++ ccache fonts-dejavu-core fonts-dejavu-extra libgl1-mesa-dri
libegl-dev libegl-mesa0 libgl1 libopengl0 libopenal1"

missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing:$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
fi
