#!/usr/bin/env bash
# End-to-end test of korvin4 on Wayland: a weston compositor runs nested in
# Xvfb (its output is an X window, and xdotool's keys and clicks reach it).
# The program starts with a stored size larger than the output and must fit
# it; a move is played; the compositor maximizes the window and makes it
# full-screen with its own shortcuts (Super+Shift+M, Super+Shift+F), and
# takes both back. The program keeps running, shows a square board
# throughout, keeps the game, and at exit leaves the stored position as it
# was (a Wayland client cannot know where its window is).
# Usage: e2e_wayland.sh KORVIN4 ASSET-DIR WORK-DIR
# Exit status 77 (skipped) when Xvfb or weston cannot be started.
set -uo pipefail
program="$1" assets="$2" work="$3"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
board_box="$(dirname "${BASH_SOURCE[0]}")/board_box.py"
command -v weston > /dev/null || skip "weston is not installed"

# The compositor, with a private runtime folder and socket. Its panel's one
# launcher starts nothing, so a stray click there opens no window inside it.
output_width=1024 output_height=768
runtime="$work.runtime"
rm -rf "$runtime" && mkdir -p "$runtime" && chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
cat > "$work.weston.ini" <<INI
[core]
idle-time=0
[shell]
locking=false
[launcher]
icon=/usr/share/weston/terminal.png
path=/bin/true
INI
# Weston follows the X pointer only once it has entered its output window,
# and Xvfb starts the pointer in the middle of the screen, where the output
# window is about to be mapped: the pointer waits outside it instead.
xdotool mousemove 1270 1010
weston --backend=x11-backend.so --width=$output_width --height=$output_height \
  --socket=korvin-test --config="$work.weston.ini" > "$work.weston.log" 2>&1 &
weston_pid=$!
cleanup_weston() { kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null; }
trap 'cleanup_weston; cleanup' EXIT
for _ in $(seq 100); do
  [ -S "$runtime/korvin-test" ] && break
  kill -0 "$weston_pid" 2>/dev/null || { cat "$work.weston.log"; skip "weston could not start"; }
  sleep 0.1
done
[ -S "$runtime/korvin-test" ] || skip "weston made no socket"
# Weston names the X window of its output in its log.
output=$(sed -n 's/.*x11 output .*window id \([0-9]*\).*/\1/p' "$work.weston.log" | head -1)
[ -n "$output" ] || { cat "$work.weston.log"; fail "no window of weston's output"; }
sleep 1  # the panel and background
window_origin "$output"
OX=$WX OY=$WY

fresh_work_folder "$work"
cd "$work" || fail "no work folder"
# Stored: at 300,200 (an X11 place), 2000 x 2000, Novice, no welcome.
write_config 300 200 2000 2000 0 1 1
WAYLAND_DISPLAY=korvin-test QT_QPA_PLATFORM=wayland "$program" > program.log 2>&1 &
program_pid=$!

# The board's box on the output: "LEFT TOP SIZE" in screen pixels, square,
# and the same in two screenshots in a row (the window has settled: the
# program may still fit it to the screen once its frame is known).
board() {
  local tries left top width height last=""
  for tries in $(seq 30); do
    sleep 0.3
    screenshot "shot-$1"
    read -r left top width height <<<"$("$board_box" "shot-$1.png" "$OX" "$OY" $output_width $output_height)"
    if [ -n "${width:-}" ] && [ "$width" -gt 100 ] && [ $((width - height)) -ge -2 ] &&
       [ $((width - height)) -le 2 ]; then
      [ "$last" = "$left $top $width" ] && { echo "$last"; return 0; }
      last="$left $top $width"
    else
      last=""
    fi
  done
  echo "the board is not square and still in shot-$1: ${width:-none}x${height:-none}" >&2
  return 1
}
alive() { kill -0 "$program_pid" 2>/dev/null || { cat program.log; fail "korvin4 ended $1"; }; }

read -r bx by bs < <(board start) || fail "no square board at the start"
echo "start: board ${bs}x$bs at $bx,$by"
alive "at the start"
[ $((by + bs)) -le $((OY + output_height)) ] && [ $((bx + bs)) -le $((OX + output_width)) ] ||
  fail "the board reaches beyond the output"
[ "$bs" -lt $output_height ] || fail "the window was not made to fit the output"

# e2e4 by two clicks; the reply is kept on the disk. The pointer enters the
# output from outside, and each step is seen on the screen before the next:
# weston's pointer is drawn over the e2 square, then the pawn there is
# selected.
square=$((bs / 8))
ex=$((bx + 4 * square + square / 2)) ey=$((by + 6 * square + square / 2))
# The mean brightness of the e2 square in a screenshot.
e2_mean() { convert "$1.png" -crop "${square}x${square}+$((bx + 4 * square))+$((by + 6 * square))" -format '%[fx:mean]' info:; }
differs() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d > 0.0005 || d < -0.0005) }'; }
# Waits until the e2 square looks other than in screenshot $1.
wait_e2_change() {
  local reference
  reference=$(e2_mean "$1")
  for _ in $(seq 30); do
    screenshot "shot-$2"
    differs "$(e2_mean "shot-$2")" "$reference" && return 0
    sleep 0.2
  done
  return 1
}
screenshot shot-pointer-outside
xdotool mousemove $((OX + output_width + 20)) "$ey"
sleep 0.1
xdotool mousemove "$ex" "$ey"
wait_e2_change shot-pointer-outside pointer-on-e2 || fail "weston's pointer did not follow the X pointer onto e2"
xdotool click 1
wait_e2_change shot-pointer-on-e2 e2-selected || fail "the click on e2 did not select the pawn"
click_at "$ex" $((by + 4 * square + square / 2))
for _ in $(seq 50); do
  [[ "$(game_moves korvin.kga 2>/dev/null)" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && break
  sleep 0.1
done
kept=$(game_moves korvin.kga 2>/dev/null)
[[ "$kept" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || fail "the move was not played and kept: '$kept'"

# The compositor's own shortcuts act on the window with the keyboard.
for state in maximized fullscreen; do
  key=super+shift+m
  [ "$state" = fullscreen ] && key=super+shift+f
  xdotool key $key
  sleep 1
  alive "when $state"
  read -r mx my ms < <(board "$state") || fail "no square board when $state"
  echo "$state: board ${ms}x$ms at $mx,$my"
  [ "$ms" -gt "$bs" ] || fail "the board did not grow when $state"
  centre=$((mx + ms / 2 - OX))
  [ $((centre - output_width / 2)) -ge -8 ] && [ $((centre - output_width / 2)) -le 8 ] ||
    fail "the board is not centred across when $state"
  xdotool key $key
  sleep 1
  alive "after $state"
  read -r nx ny ns < <(board "after-$state") || fail "no square board after $state"
  [ "$ns" -eq "$bs" ] || fail "after $state the board is ${ns}, not ${bs} as before"
done
[ "$(game_moves korvin.kga)" = "$kept" ] || fail "the kept game changed"

kill -TERM "$program_pid"
wait_exit 0
[ "$(game_moves korvin.kga)" = "$kept" ] || fail "the kept game changed at exit"
read -r x y w h _ < <(od -An -t d4 -N16 korvin.cfg)
echo "stored: $x,$y ${w}x$h"
[ "$x" -eq 300 ] && [ "$y" -eq 200 ] || fail "the stored position became $x,$y"
[ "$w" -eq "$h" ] && [ "$w" -lt $output_height ] || fail "the stored size is ${w}x$h"
echo "PASSED: screenshots in $work"
