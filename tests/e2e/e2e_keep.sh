#!/usr/bin/env bash
# End-to-end test of the kept game under Xvfb with a window manager: the game
# is on the disk as soon as a move is made (a SIGKILL right after the
# computer's reply loses nothing), a second start in the same folder touches
# nothing whichever of the two closes first, and a termination request or a
# close request ends the program within 1 s with the Save requester's
# "replace the existing file?" question or the Load requester open, saving
# the game and replacing nothing.
# Usage: e2e_keep.sh KORVIN4 ASSET-DIR CLOSE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server or window manager can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" work="$4"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
start_window_manager "$work.openbox.log"
deadline_ms=1000

# A fresh folder at Novice without the welcome dialog, and a home of its own
# so that the file requester opens there.
prepare() {
  fresh_work_folder "$work/$1"
  cd "$work/$1" || fail "no work folder"
  mkdir -p home
  export HOME="$work/$1/home"
  write_config 440 312 400 400 0 1 1
}
# Starts korvin4 (stderr and stdout to $1.log) and waits for its board.
start() {
  "$program" > "$1.log" 2>&1 &
  program_pid=$!
  main=$(wait_window 400x400) || { cat "$1.log"; fail "$1: no main window"; }
  window_origin "$main"
  sleep 0.5
}
# Plays e2e4 by two clicks and waits for the computer's reply on the disk.
play_e2e4() {
  click_at $((WX + 4 * 50 + 25)) $((WY + 6 * 50 + 25))
  click_at $((WX + 4 * 50 + 25)) $((WY + 4 * 50 + 25))
  for _ in $(seq 50); do
    [[ "$(game_moves korvin.kga 2>/dev/null)" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && return 0
    sleep 0.1
  done
  fail "the kept game does not hold e2e4 and the reply: '$(game_moves korvin.kga 2>/dev/null)'"
}
# Waits for a window named $1 (any size); prints its id.
wait_named() {
  for _ in $(seq 100); do
    local id
    id=$(xdotool search --name "^$1\$" 2>/dev/null | tail -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Opens Options and presses the button at ($1, $2) of its client area.
options_button() {
  click_at $((WX + 200)) $((WY + 200)) 3
  local options
  options=$(wait_window 480x330 Options) || fail "no Options dialog"
  sleep 0.3  # the window manager may still place it
  window_origin "$options"
  click_at $((WX + $1)) $((WY + $2))
  window_origin "$main"
}
# The main window gone within the deadline, exit status 0, the game kept.
expect_closed_and_kept() {
  local since="$1" took moves
  took=$(wait_window_gone "$main" "$since") || fail "$2: the window stayed"
  echo "$2: window gone $took ms after the request"
  [ "$took" -le "$deadline_ms" ] || fail "$2: the window took $took ms to go (at most $deadline_ms)"
  wait_exit 0
  moves=$(game_moves korvin.kga)
  [[ "$moves" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || fail "$2: kept game is '$moves'"
  [ "$(stat -c %s korvin.cfg)" -eq 28 ] || fail "$2: korvin.cfg not written"
}

# ----- SIGKILL right after the computer's reply: both half-moves kept --------
prepare kill
start kill
play_e2e4
kill -KILL "$program_pid"
wait "$program_pid" 2>/dev/null
program_pid=""
[[ "$(game_moves korvin.kga)" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || fail "kill: kept game is '$(game_moves korvin.kga)'"
echo "kill: kept game after SIGKILL: $(game_moves korvin.kga)"

# ----- A second start in the same folder, closed first and then last ---------
for order in second-first first-first; do
  prepare "$order"
  start first
  first_pid=$program_pid first_main=$main
  play_e2e4
  kept=$(game_moves korvin.kga)
  config=$(od -An -tu1 korvin.cfg)
  "$program" > second.log 2>&1 &
  second_pid=$!
  # Its message, and nothing else: no second board.
  message=$(wait_message "$first_main") || { cat second.log; fail "$order: the second start showed no message"; }
  grep -q "already running" second.log || fail "$order: the second start did not say why"
  boards=0
  for id in $(xdotool search --name '^Korvin 4$' 2>/dev/null); do
    xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 400x400' && boards=$((boards + 1))
  done
  [ "$boards" -eq 1 ] || fail "$order: $boards boards are open"
  if [ "$order" = first-first ]; then
    "$close_helper" "$first_main" || fail "could not close the first program"
    program_pid=$first_pid main=$first_main
    wait_exit 0
    kept=$(game_moves korvin.kga)
    config=$(od -An -tu1 korvin.cfg)
  fi
  # The message has the keyboard, and Enter ends the second start.
  for _ in $(seq 30); do
    [ "$(( $(active_window) ))" = "$message" ] && break
    sleep 0.1
  done
  [ "$(( $(active_window) ))" = "$message" ] || fail "$order: the message does not have the keyboard"
  xdotool key Return
  for _ in $(seq 50); do kill -0 "$second_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$second_pid" 2>/dev/null && fail "$order: the second start did not end on Enter"
  wait "$second_pid"; status=$?
  [ "$status" -eq 0 ] || fail "$order: the second start ended with status $status"
  [ "$(game_moves korvin.kga)" = "$kept" ] || fail "$order: the second start changed the kept game"
  [ "$(od -An -tu1 korvin.cfg)" = "$config" ] || fail "$order: the second start changed the settings"
  if [ "$order" = second-first ]; then
    program_pid=$first_pid main=$first_main
    kill -0 "$program_pid" 2>/dev/null || fail "$order: the first program ended"
    "$close_helper" "$main" || fail "could not close the first program"
    wait_exit 0
    [ "$(game_moves korvin.kga)" = "$kept" ] || fail "$order: the kept game changed at the first one's exit"
  fi
  echo "$order: the first one's game intact: $(game_moves korvin.kga)"
done

# ----- The Save requester's replace question, then SIGTERM or a close ---------
for how in sigterm close; do
  prepare "replace-$how"
  printf 'precious' > home/existing.kga
  start program
  play_e2e4
  options_button $((245 + 50)) $((25 + 12))  # "Save Game"
  requester=$(wait_named "Save File") || fail "replace-$how: no Save File requester"
  sleep 0.5
  xdotool type --delay 20 "existing.kga"
  xdotool key Return
  # The question comes up as a second window of the requester.
  asked=""
  for _ in $(seq 50); do
    [ "$(xdotool search --name '^Save File$' 2>/dev/null | wc -l)" -ge 2 ] && { asked=yes; break; }
    sleep 0.1
  done
  [ -n "$asked" ] || fail "replace-$how: no question whether to replace the file"
  since=$(now_ms)
  if [ "$how" = sigterm ]; then
    kill -TERM "$program_pid"
  else
    "$close_helper" "$main" || fail "could not send the close request"
  fi
  expect_closed_and_kept "$since" "replace-$how"
  [ "$(cat home/existing.kga)" = precious ] || fail "replace-$how: the existing file was replaced"
done

# ----- The Load requester open, then a close request of the main window -------
prepare load-close
start program
play_e2e4
options_button $((135 + 50)) $((25 + 12))  # "Load Game"
wait_named "Load File" > /dev/null || fail "load-close: no Load File requester"
sleep 0.3
since=$(now_ms)
"$close_helper" "$main" || fail "could not send the close request"
expect_closed_and_kept "$since" load-close

echo "PASSED: logs in $work"
