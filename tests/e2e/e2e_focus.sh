#!/usr/bin/env bash
# End-to-end test of the keyboard on an X11 desktop (Xvfb with openbox):
# every dialog has the keyboard when it opens, Enter and Esc act on it, and
# once it is closed, however it was closed and wherever the pointer is, the
# next clicks on the board play e2-e4. Cases: the welcome dialog of a first
# start closed with Enter, with Esc and by a click on OK; a message at the
# start (a damaged kept game) closed with Enter; Options closed with Esc;
# Options keeps the keyboard when a later start brings the board forward.
# Usage: e2e_focus.sh KORVIN4 ASSET-DIR CLOSE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server or window manager can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" work="$4"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
start_window_manager "$work.openbox.log"

start() {
  "$program" > program.log 2>&1 &
  program_pid=$!
}
# The board window, once it is shown (400 x 400).
board_window() {
  main=$(wait_window 400x400) || { cat program.log; fail "no board window"; }
}
# e2-e4 by two clicks on the 400-pixel board: played, answered and kept.
play_e2e4() {
  window_origin "$main"
  click_at $((WX + 4 * 50 + 25)) $((WY + 6 * 50 + 25))
  click_at $((WX + 4 * 50 + 25)) $((WY + 4 * 50 + 25))
  local moves=""
  for _ in $(seq 50); do
    moves=$(game_moves korvin.kga 2>/dev/null)
    [[ "$moves" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && return 0
    sleep 0.1
  done
  screenshot "$1-board"
  fail "$1: the clicks on the board did not play e2e4 (kept: '$moves')"
}
# Closes the program from its board and waits for it to end.
finish() {
  "$close_helper" "$main" || fail "could not close the program"
  wait_exit 0
}
# Waits until window $1 is gone; fails naming $2 otherwise.
gone() {
  wait_window_gone "$1" "$(now_ms)" > /dev/null || fail "$2"
}

# ----- The welcome dialog of a first start ------------------------------------
for how in Return Escape click; do
  prepare "welcome-$how"
  start
  welcome=$(wait_window 432x325) || { cat program.log; fail "no welcome dialog"; }
  board_window
  expect_active "$welcome" "the welcome dialog"
  case $how in
    click)
      window_origin "$welcome"
      click_at $((WX + 166 + 50)) $((WY + 270 + 12))
      ;;
    *) xdotool key "$how" ;;
  esac
  gone "$welcome" "the welcome dialog did not close on $how"
  expect_active "$main" "the board after the welcome dialog closed on $how"
  play_e2e4 "welcome closed on $how"
  finish
  echo "ok: welcome dialog closed on $how, then e2e4 played"
done

# ----- A message at the start: a kept game that cannot be loaded -------------
prepare message
write_config 440 312 400 400 0 1 1
printf 'not a game' > korvin.kga
start
board_window
message=$(wait_message "$main") || fail "no message about the damaged kept game"
expect_active "$message" "the message at the start"
xdotool key Return
gone "$message" "Enter did not close the message at the start"
play_e2e4 "message closed with Enter"
finish
echo "ok: message at the start closed with Enter, then e2e4 played"

# ----- Options closed with Esc; Options keeps the keyboard -------------------
open_options() {
  window_origin "$main"
  click_at $((WX + 200)) $((WY + 200)) 3
  options=$(wait_window 480x330 Options) || fail "no Options dialog"
  expect_active "$options" "Options"
}
prepare options
write_config 440 312 400 400 0 1 1
start
board_window
sleep 0.5
open_options
xdotool key Escape
gone "$options" "Esc did not close Options"
play_e2e4 "Options closed with Esc"
# A later start with a game file (g1-f3 g8-f6) brings the board forward and
# ends at once: Options stays above it with the keyboard, and the file is
# loaded once Options is closed.
open_options
printf '\034\057\007\017\000\000\000\142\115\007\017\000\000\000' > handed.kga
"$program" "$PWD/handed.kga" > later.log 2>&1 || { cat later.log; fail "the later start failed"; }
sleep 0.5
expect_active "$options" "Options after a later start brought the board forward"
xdotool key Escape
gone "$options" "Esc did not close Options after the later start"
for _ in $(seq 50); do [ "$(game_moves korvin.kga)" = "g1f3 g8f6" ] && break; sleep 0.1; done
[ "$(game_moves korvin.kga)" = "g1f3 g8f6" ] || fail "the later start's file was not loaded: $(game_moves korvin.kga)"
finish
echo "ok: Options closed with Esc, then e2e4 played; Options kept the keyboard through a later start"
echo "PASSED: logs in $work"
