#!/usr/bin/env bash
# Makes the README's picture of Korvin 4 on Windows: korvin4.exe of the
# Windows build under Wine, 400 x 400, with the game of the Linux picture in
# progress, under a private X server (Xvfb) with openbox, in a Wine prefix
# of its own. Run it again after every change of look.
#
#   scripts/screenshot-wine.sh [BUILD-DIR] [OUTPUT]   (build-windows, docs/screenshot-windows.png)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/scripts/screenshot_common.sh"
screenshot_paths build-windows docs/screenshot-windows.png "$@"
program="$build/shell/korvin4.exe"
cli="$build/tools/cli/korvin-cli.exe"
wine64=$(sed -n 's/^KORVIN_WINE64:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
wineserver=$(sed -n 's/^KORVIN_WINESERVER:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)

for tool in Xvfb xdotool import openbox; do
  command -v "$tool" > /dev/null || { echo "screenshot-wine: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
for built in "$program" "$cli"; do
  [ -f "$built" ] || { echo "screenshot-wine: $built is not built (make windows)" >&2; exit 1; }
done
[ -x "$wine64" ] && [ -x "$wineserver" ] || { echo "screenshot-wine: no Wine in $build (make windows)" >&2; exit 1; }

. "$here/scripts/xvfb.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/korvin4-screenshot-wine.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LC_ALL=C.UTF-8 \
  WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wm_pid=""
cleanup() {
  "$wineserver" -k 2> /dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2> /dev/null && wait "$wm_pid" 2> /dev/null
  xvfb_stop
  rm -rf -- "$work"
}
trap cleanup EXIT

# A portable Korvin 4: the program, its files and the marker side by side,
# a 400 x 400 window at (40, 40) with the welcome off, and the kept game.
folder="$work/Korvin 4"
mkdir -p "$folder"
cp "$program" "$here"/assets/* "$folder/"
touch "$folder/korvin4.portable"
screenshot_settings 40 40 > "$folder/korvin.cfg"
DISPLAY= "$wine64" wineboot --init > /dev/null 2>&1
(cd "$folder" && DISPLAY= "$wine64" "$cli" game save korvin.kga --moves "$screenshot_moves") > /dev/null
[ -s "$folder/korvin.kga" ] || { echo "screenshot-wine: korvin-cli.exe wrote no game" >&2; exit 1; }
# Wine's session started without a display ends before the program's starts.
"$wineserver" -w

xvfb_start --log "$work/xvfb.log" 90 120 1024x768x24 ||
  { echo "screenshot-wine: no X server could be started" >&2; exit 1; }
openbox --sm-disable > "$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && break
  sleep 0.1
done

(cd "$folder" && exec "$wine64" "$folder/korvin4.exe") > "$work/program.log" 2>&1 &
main=$(screenshot_window 'Korvin 4' 400x400) || { cat "$work/program.log" >&2; echo "screenshot-wine: no board window" >&2; exit 1; }
sleep 1   # the first paint
xdotool mousemove 1000 740
mkdir -p "$(dirname "$output")"
import -window "$main" -strip "png:$output"
echo "wrote $output"
