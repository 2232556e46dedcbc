#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with (Debian 12), or only the packages named on the
# command line. Runs apt-get only when something is missing; uses sudo when not run as root.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
  build-essential cmake ninja-build pkg-config binutils ccache
  libpugixml-dev libqrcodegencpp-dev libcmark-dev zlib1g-dev
  libfontconfig-dev libfreetype-dev fonts-liberation2 fonts-dejavu-core
  libgtk-3-dev libwebkit2gtk-4.1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  zxing-cpp-tools zbar-tools xvfb xdotool x11-utils imagemagick
  debootstrap zip unzip util-linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
