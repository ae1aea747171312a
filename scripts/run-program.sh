#!/usr/bin/env bash
# Starts Korvin 4 from a build directory through the same launcher an
# installation uses: it fills the user's working folder with the shipped
# pictures and book (again whenever the shipped ones are newer, never touching
# "korvin.cfg" or "korvin.kga"), changes into it and starts the program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
program="$build/shell/korvin4"

if [ ! -x "$program" ]; then
  echo "run-program: $program is not built (the window program needs Qt 6; build with 'make build')." >&2
  exit 1
fi
KORVIN4_PROGRAM="$program" KORVIN4_ASSETS="$here/assets" exec sh "$here/packaging/korvin4-launcher.in"
