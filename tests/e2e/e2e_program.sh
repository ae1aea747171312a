#!/usr/bin/env bash
# End-to-end test of korvin4 under Xvfb: first run with the welcome dialog,
# one move by mouse and the computer's reply, closing by the window's close
# request, the kept game and settings on disk, and a second run that starts
# without the welcome dialog and shows the kept position.
# Usage: e2e_program.sh KORVIN4 ASSET-DIR CLOSE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" work="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# A sanitizer build reports leaks of the system libraries Qt loads: not ours.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

for tool in Xvfb xdotool xwd convert; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

xvfb_pid="" program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

# A free display number.
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || skip "no free X display number"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 50); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb could not start on $display"
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || skip "Xvfb did not answer on $display"

rm -rf "$work"
mkdir -p "$work"
cp "$assets"/* "$work"/
cd "$work" || fail "no work folder"
echo "work folder: $work"

# Waits for a window named "Korvin 4" of the given size; prints its id.
wait_window() {
  local size="$1"
  for _ in $(seq 100); do
    for id in $(xdotool search --name "^Korvin 4\$" 2>/dev/null); do
      if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $size"; then
        echo "$id"; return 0
      fi
    done
    sleep 0.1
  done
  return 1
}
# Position of a window into WX, WY.
window_origin() {
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y)=')"
  WX=$X WY=$Y
}
click_at() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool click 1; sleep 0.3; }
screenshot() { xwd -root -silent > "$1.xwd" && convert "$1.xwd" "$1.png" && rm -f "$1.xwd"; }
# Colour of one screen pixel of a screenshot.
pixel() { convert "$1.png" -crop "1x1+$2+$3" -format '%[pixel:p{0,0}]' info:; }
wait_exit() {
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "korvin4 did not end after the close request"
  wait "$program_pid"; local status=$?
  program_pid=""
  [ "$status" -eq 0 ] || fail "korvin4 ended with status $status"
}

# ----- First run: welcome dialog, one move, the computer's reply ------------
"$program" > first.log 2>&1 &
program_pid=$!
welcome=$(wait_window 432x325) || fail "no welcome dialog"
window_origin "$welcome"
click_at $((WX + 25 + 6)) $((WY + 220 + 12))    # "Don't show this message again."
click_at $((WX + 166 + 50)) $((WY + 270 + 12))  # "OK"
main=$(wait_window 400x400) || fail "no 400 x 400 main window after the welcome dialog"
window_origin "$main"
[ "$WX" -eq 440 ] && [ "$WY" -eq 312 ] || echo "note: main window at $WX,$WY, expected 440,312"
sleep 0.5
screenshot start
# Square centres: e2 and e4 with White at the bottom and 50-pixel squares.
e2x=$((WX + 4 * 50 + 25)) e2y=$((WY + 6 * 50 + 25))
e4x=$((WX + 4 * 50 + 25)) e4y=$((WY + 4 * 50 + 25))
click_at "$e2x" "$e2y"
click_at "$e4x" "$e4y"
sleep 2.5  # Novice answers within a fraction of a second
screenshot after-move
[ "$(pixel start "$e4x" "$e4y")" != "$(pixel after-move "$e4x" "$e4y")" ] || fail "no pawn drawn on e4"
[ "$(pixel start "$e2x" "$e2y")" != "$(pixel after-move "$e2x" "$e2y")" ] || fail "e2 not emptied"
"$close_helper" "$main" || fail "could not send the close request"
wait_exit

[ -f korvin.kga ] || fail "korvin.kga was not written"
kga_size=$(stat -c %s korvin.kga)
[ "$kga_size" -eq 14 ] || fail "korvin.kga holds $kga_size bytes, expected 14"
read -r b0 b1 _ < <(od -An -tu1 -N2 korvin.kga)
[ "$b0" -eq 36 ] && [ "$b1" -eq 56 ] || fail "korvin.kga begins with $b0 $b1, expected 36 56 (e2e4)"
cfg_size=$(stat -c %s korvin.cfg 2>/dev/null || echo 0)
[ "$cfg_size" -eq 28 ] || fail "korvin.cfg holds $cfg_size bytes, expected 28"
hide=$(od -An -tu1 -j24 -N1 korvin.cfg | tr -d ' ')
[ "$hide" -eq 1 ] || fail "the welcome switch was not stored"

# ----- Second run: no welcome dialog, the kept position ---------------------
"$program" > second.log 2>&1 &
program_pid=$!
main=$(wait_window 400x400) || fail "the second run opened no 400 x 400 window"
first_window=$(xdotool search --name "^Korvin 4\$" | head -1)
[ "$first_window" = "$main" ] || fail "the second run showed another window first (the welcome dialog?)"
sleep 0.8
screenshot second-start
window_origin "$main"
e4x=$((WX + 4 * 50 + 25)) e4y=$((WY + 4 * 50 + 25))
[ "$(pixel second-start "$e4x" "$e4y")" = "$(pixel after-move "$e4x" "$e4y")" ] ||
  fail "the kept position is not shown on e4"
"$close_helper" "$main" || fail "could not send the close request"
wait_exit
[ "$(stat -c %s korvin.kga)" -eq 14 ] || fail "the kept game changed on the second run"
echo "PASSED: screenshots in $work"
