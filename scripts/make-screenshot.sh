#!/usr/bin/env bash
# Makes the README's picture of Korvin 4: the window program from a build
# directory, 400 x 400, with a game in progress, under a private X server
# (Xvfb), captured with ImageMagick's import. Run it again after every change
# of look.
#
#   scripts/make-screenshot.sh [BUILD-DIR] [OUTPUT]     (build, docs/screenshot.png)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/scripts/screenshot_common.sh"
screenshot_paths build docs/screenshot.png "$@"
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
# the welcome dialog off, and the kept game.
cp "$here"/assets/* "$work/"
screenshot_settings 0 0 > "$work/korvin.cfg"
"$cli" game save "$work/korvin.kga" --moves "$screenshot_moves" > /dev/null

xvfb_start --log "$work/xvfb.log" 90 120 1024x768x24 ||
  { echo "make-screenshot: no X server could be started" >&2; exit 1; }

unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR
(cd "$work" && exec "$program") > "$work/program.log" 2>&1 &
program_pid=$!
window=$(screenshot_window 'Korvin 4' 400x400) ||
  { cat "$work/program.log" >&2; echo "make-screenshot: no 400 x 400 window" >&2; exit 1; }
sleep 1   # the first paint
mkdir -p "$(dirname "$output")"
import -window "$window" -strip "png:$output"
echo "wrote $output"
