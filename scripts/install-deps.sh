#!/usr/bin/env bash
# Installs the Debian 12 packages Korvin 4 needs to build, test and run.
# Only missing packages are installed; a machine that has them all is left alone.
set -euo pipefail

PACKAGES=(
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
