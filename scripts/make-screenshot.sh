#!/usr/bin/env bash
# Makes the README's picture of Korvin 4: the window program from a build
# directory, 400 x 400, with a game in progress, under a private X server
# (Xvfb), captured with ImageMagick's import. Run it again after every change
# of look.
#
#   scripts/make-screenshot.sh [BUILD-DIR] [OUTPUT]     (build, docs/screenshot.png)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
output="${2:-$here/docs/screenshot.png}"
program="$build/shell/korvin4"
cli="$build/tools/cli/korvin-cli"

for tool in Xvfb xdotool import; do
  command -v "$tool" > /dev/null || { echo "make-screenshot: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
for built in "$program" "$cli"; do
  [ -x "$built" ] || { echo "make-screenshot: $built is not built (make build)" >&2; exit 1; }
done

. "$here/scripts/xvfb.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/korvin4-screenshot.XXXXXX")
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2> /dev/null && wait "$program_pid" 2> /dev/null
  xvfb_stop
  rm -rf -- "$work"
}
trap cleanup EXIT

# The working folder: the shipped files, a 400 x 400 window at (0, 0) with
# the welcome dialog off, and a kept game: a Ruy Lopez after Black castled.
cp "$here"/assets/* "$work/"
printf '\000\000\000\000\000\000\000\000\220\001\000\000\220\001\000\000\000\000\000\000\001\000\000\000\001\000\000\000' \
  > "$work/korvin.cfg"
"$cli" game save "$work/korvin.kga" \
  --moves "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7 f1e1 b7b5 a4b3 d7d6 c2c3 e8g8" > /dev/null

xvfb_start --log "$work/xvfb.log" 90 120 1024x768x24 ||
  { echo "make-screenshot: no X server could be started" >&2; exit 1; }

unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR
(cd "$work" && exec "$program") > "$work/program.log" 2>&1 &
program_pid=$!
window=""
for _ in $(seq 100); do
  for id in $(xdotool search --name '^Korvin 4$' 2> /dev/null); do
    xdotool getwindowgeometry "$id" 2> /dev/null | grep -q 'Geometry: 400x400' && window=$id
  done
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/program.log" >&2; echo "make-screenshot: no 400 x 400 window" >&2; exit 1; }
sleep 1   # the first paint
mkdir -p "$(dirname "$output")"
import -window "$window" -strip "png:$output"
echo "wrote $output"
