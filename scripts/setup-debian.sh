#!/usr/bin/env bash
# Installs the Debian 12 packages Saporin builds, tests and runs with.
# Only packages that are missing are installed; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  zlib1g-dev libsqlite3-dev libjpeg-dev libuemf-dev libemf2svg-dev libwmf-dev gsfonts
  libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-liberation fonts-dejavu
  xvfb xauth imagemagick openbox xdotool x11-utils
  desktop-file-utils appstream dpkg-dev file
  cups-daemon cups-client printer-driver-cups-pdf poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
