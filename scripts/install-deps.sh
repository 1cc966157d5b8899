#!/usr/bin/env bash
# Installs the Debian packages the project needs. Run as root on Debian 12 (bookworm).
set -euo pipefail
packages=(
  cmake ninja-build g++ clang clang-format ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsystemd-dev dbus-daemon python3 python3-dbusmock
  qt6-base-dev libxtst-dev libxkbcommon-dev libx11-dev xvfb xauth
  # the man pages, the API reference and the checks of the desktop files
  scdoc man-db doxygen desktop-file-utils appstream librsvg2-bin
  # scripts/build-packages.sh (no fakeroot: the packages build with Rules-Requires-Root: no)
  debhelper dpkg-dev lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
