#!/usr/bin/env bash
# End-to-end test of korvin4 on an X11 desktop (Xvfb with a window manager):
# every window lies inside the screen, frame and all, for a board saved at
# each corner; a message window has the keyboard and Enter closes it; a
# piece dragged with the mouse is played and answered, a drag to an illegal
# square plays nothing; a maximized window shows the largest board centred
# and the size stored is the normal one.
# Usage: e2e_desktop.sh KORVIN4 ASSET-DIR CLOSE-HELPER STATE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server or window manager can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" state_helper="$4" work="$5"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
board_box="$(dirname "${BASH_SOURCE[0]}")/board_box.py"
start_window_manager "$work.openbox.log"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)

start() {
  "$program" > program.log 2>&1 &
  program_pid=$!
  main=$(wait_window "${1:-400x400}") || { cat program.log; fail "no main window"; }
  sleep 0.8  # placed and drawn, the frame known
  window_origin "$main"
}
# Fails unless window $1 lies inside the screen with its frame.
frame_inside() {
  local id="$1" what="$2" extents left right top bottom width height
  window_origin "$id"
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
  IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
  width=$(xwininfo -id "$id" | awk '/Width:/ {print $2}')
  height=$(xwininfo -id "$id" | awk '/Height:/ {print $2}')
  local x0=$((WX - left)) y0=$((WY - top)) x1=$((WX + width + right)) y1=$((WY + height + bottom))
  echo "$what: frame $x0,$y0 to $x1,$y1"
  [ "$x0" -ge 0 ] && [ "$y0" -ge 0 ] && [ "$x1" -le "$screen_width" ] && [ "$y1" -le "$screen_height" ] ||
    fail "$what: the frame $x0,$y0 to $x1,$y1 is not inside the ${screen_width}x$screen_height screen"
}
click_square() {  # file 0..7, rank 1..8, White at the bottom, 50-pixel squares
  window_origin "$main"
  click_at $((WX + $1 * 50 + 25)) $((WY + (8 - $2) * 50 + 25))
}

# ----- A board saved at each corner: every window inside the screen ----------
for corner in "0 0" "$((screen_width - 400)) 0" "0 $((screen_height - 400))" \
              "$((screen_width - 400)) $((screen_height - 400))"; do
  read -r cx cy <<<"$corner"
  prepare "corner-$cx-$cy"
  write_config "$cx" "$cy" 400 400 0 1 1
  start
  frame_inside "$main" "board at $cx,$cy"
  click_at $((WX + 200)) $((WY + 200)) 3
  options=$(wait_window 480x330 Options) || fail "no Options dialog"
  sleep 0.5
  frame_inside "$options" "Options over the board at $cx,$cy"
  expect_active "$options" "Options"
  # A dialog of the board, which the window manager keeps above it, and
  # which cannot be maximized.
  [ "$(xprop -id "$options" WM_TRANSIENT_FOR | sed -n 's/.*# //p')" = "$(printf '0x%x' "$main")" ] ||
    fail "Options is not a dialog of the main window: $(xprop -id "$options" WM_TRANSIENT_FOR)"
  xprop -id "$options" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "Options can be maximized"
  # A click on the board leaves Options above it.
  window_origin "$main"
  click_at $((WX + 10)) $((WY + 390))
  top=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | tail -1)
  [ "$(( top ))" = "$options" ] || fail "the board came over Options"
  # Save Game without a move: a message, which has the keyboard; Enter
  # closes it.
  window_origin "$options"
  click_at $((WX + 245 + 50)) $((WY + 25 + 12))
  message=$(wait_message "$main") || fail "no message for a game without moves"
  sleep 0.3
  frame_inside "$message" "message over the board at $cx,$cy"
  expect_active "$message" "the message"
  xdotool key Return
  took=$(wait_window_gone "$message" "$(now_ms)") || fail "Enter did not close the message"
  "$close_helper" "$main" || fail "could not close the program"
  wait_exit 0
done
echo "every window inside the screen for boards at its four corners"

# ----- Drag and drop ----------------------------------------------------------
prepare drag
write_config 440 312 400 400 0 1 1
start
drag() {  # from file/rank to file/rank, with the button held in between
  window_origin "$main"
  local x0=$((WX + $1 * 50 + 25)) y0=$((WY + (8 - $2) * 50 + 25))
  local x1=$((WX + $3 * 50 + 25)) y1=$((WY + (8 - $4) * 50 + 25))
  xdotool mousemove "$x0" "$y0"; sleep 0.1
  xdotool mousedown 1; sleep 0.1
  xdotool mousemove $(((x0 + x1) / 2)) $(((y0 + y1) / 2)); sleep 0.1
  xdotool mousemove "$x1" "$y1"; sleep 0.1
  xdotool mouseup 1; sleep 0.3
}
drag 4 2 4 4  # e2-e4
for _ in $(seq 50); do
  [[ "$(game_moves korvin.kga 2>/dev/null)" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && break
  sleep 0.1
done
moves=$(game_moves korvin.kga 2>/dev/null)
[[ "$moves" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || fail "the dragged e2-e4 was not played and answered: '$moves'"
drag 3 2 3 5  # d2-d5: illegal
sleep 1
[ "$(game_moves korvin.kga)" = "$moves" ] || fail "a drag to an illegal square played '$(game_moves korvin.kga)'"
echo "drag and drop: $moves; the illegal drag played nothing"

# ----- Maximized and back -------------------------------------------------------
"$state_helper" "$main" add maximized
for _ in $(seq 50); do
  xwininfo -id "$main" | grep -q 'Width: 400' || break
  sleep 0.1
done
sleep 1
window_origin "$main"
width=$(xwininfo -id "$main" | awk '/Width:/ {print $2}')
height=$(xwininfo -id "$main" | awk '/Height:/ {print $2}')
[ "$width" -gt 400 ] && [ "$width" -ne "$height" ] || fail "not maximized: ${width}x$height"
screenshot maximized
read -r bx by bw bh <<<"$("$board_box" maximized.png "$WX" "$WY" "$width" "$height")"
echo "maximized: window ${width}x$height at $WX,$WY, board ${bw}x$bh at $bx,$by"
side=$(( (width < height ? width : height) / 8 * 8 ))
[ "$bw" -eq "$side" ] && [ "$bh" -eq "$side" ] || fail "the board is ${bw}x$bh, not the largest square ($side)"
[ $((bx - WX)) -eq $(((width - side) / 2)) ] || fail "the board is not centred across"
[ "$(pixel maximized $((WX + 2)) $((WY + height / 2)))" = "srgb(58,44,34)" ] ||
  fail "no quiet background beside the board: $(pixel maximized $((WX + 2)) $((WY + height / 2)))"
"$state_helper" "$main" remove maximized
for _ in $(seq 50); do
  xwininfo -id "$main" | grep -q 'Width: 400' && break
  sleep 0.1
done
xwininfo -id "$main" | grep -q 'Height: 400' ||
  fail "not the 400 x 400 window again after maximize: $(xwininfo -id "$main" | grep -E 'Width|Height' | tr -s ' \n' ' ')"
"$close_helper" "$main" || fail "could not close the program"
wait_exit 0
[ "$(od -An -t d4 -j8 -N8 korvin.cfg | tr -s ' ')" = " 400 400" ] || fail "the stored size is not 400 x 400"
echo "PASSED: logs in $work"
