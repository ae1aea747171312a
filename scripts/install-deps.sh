#!/usr/bin/env bash
# Installs the Debian 12 packages Korvin 4 needs to build, test and run.
# Only missing packages are installed; a machine that has them all is left alone.
#   install-deps.sh           the Linux build
#   install-deps.sh windows   the Windows build: cross-compiler, Wine, NSIS
set -euo pipefail

LINUX_PACKAGES=(
  g++ make cmake pkg-config
  libgtest-dev
  libpng-dev libjpeg-dev zlib1g-dev
  qt6-base-dev libx11-dev
  xvfb xdotool x11-apps imagemagick openbox weston qt6-wayland
  clang libclang-rt-dev
  desktop-file-utils appstream gettext qt6-translations-l10n
  dpkg-dev lintian
  fonts-dejavu-core
  python3 coreutils
  python3-pil
  x11-utils libxml2-utils shared-mime-info
)

# googletest's sources are built for Windows with the cross-compiler; the
# icon is made with Pillow; the tests run under Wine, whose prefix is made
# under a lock (flock).
WINDOWS_PACKAGES=(
  make cmake
  g++-mingw-w64-x86-64-posix
  googletest
  wine wine64
  nsis
  python3 python3-pil
  util-linux
)

case "${1:-linux}" in
  linux) PACKAGES=("${LINUX_PACKAGES[@]}") ;;
  windows) PACKAGES=("${WINDOWS_PACKAGES[@]}") ;;
  *) echo "usage: install-deps.sh [linux|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
