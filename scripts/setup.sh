#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking QMX80NET-PC needs.
# Idempotent and non-interactive; runs as root or through sudo.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev qt6-svg-dev libgl-dev
  libqcustomplot-dev
  libhidapi-dev libudev-dev
  libgmime-3.0-dev
  libmosquitto-dev mosquitto
  qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  umockdev libumockdev-dev libglib2.0-dev
  clang libclang-rt-14-dev
  xvfb xauth imagemagick
  fonts-dejavu-core fonts-crosextra-carlito fonts-liberation2
)

if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
else
  sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
echo "setup: all packages present"
