#!/usr/bin/env bash
# Starts Korvin 4 from a build directory in the user's own working folder.
# The program reads and writes only its working directory, so the shipped
# pictures and book are copied into that folder (again whenever the shipped
# ones are newer); the user's "korvin.cfg" and "korvin.kga" are never touched.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
program="$build/shell/korvin4"

if [ ! -x "$program" ]; then
  echo "run-program: $program is not built (the window program needs Qt 6; build with 'make build')." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-program: no display available (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Korvin 4 is a window program: start it from a desktop session, or under Xvfb." >&2
  exit 1
fi

folder="${XDG_DATA_HOME:-$HOME/.local/share}/korvin4"
mkdir -p "$folder"
for asset in "$here"/assets/*; do
  [ -f "$asset" ] || continue
  case "$(basename "$asset")" in korvin.cfg|korvin.kga) continue ;; esac
  cp -u "$asset" "$folder/"
done
cd "$folder"
exec "$program"
