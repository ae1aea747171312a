#!/usr/bin/env bash
# End-to-end test of closing korvin4 under Xvfb at awkward moments: while the
# computer thinks at Expert (by the window's close request and by SIGTERM),
# while the "Load File" requester is open, and while the welcome dialog is
# up. The window must be gone within 1 s of the request, the program must
# end with status 0, and the kept game must hold what was played.
# Usage: e2e_close.sh KORVIN4 ASSET-DIR CLOSE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" work="$4"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# The deadline the program must keep. Measured from just before the request
# is sent to the first look (every 10 ms, each look a short xdotool run) that
# finds the window gone; the program itself needs a few tens of
# milliseconds, so the bound holds on a busy machine too.
deadline_ms=1000

# Starts korvin4 in a fresh folder at `level` without the welcome dialog and
# without the book (so the computer thinks for its whole time); plays e2e4.
start_and_play() {
  local name="$1" level="$2"
  fresh_work_folder "$work/$name"
  cd "$work/$name" || fail "no work folder"
  rm -f korvin.bok
  write_config 440 312 400 400 0 "$level" 1
  "$program" > program.log 2>&1 &
  program_pid=$!
  main=$(wait_window 400x400) || fail "$name: no main window"
  window_origin "$main"
  sleep 0.5
  click_at $((WX + 4 * 50 + 25)) $((WY + 6 * 50 + 25))
  click_at $((WX + 4 * 50 + 25)) $((WY + 4 * 50 + 25))
}

# The window gone in time, the program ended with status 0, and the kept
# game holding e2e4 and the computer's reply.
expect_closed_with_reply() {
  local name="$1" since="$2" took
  took=$(wait_window_gone "$main" "$since") || fail "$name: the window stayed"
  echo "$name: window gone $took ms after the request"
  [ "$took" -le "$deadline_ms" ] || fail "$name: the window took $took ms to go (at most $deadline_ms)"
  wait_exit 0
  local moves
  moves=$(game_moves korvin.kga)
  echo "$name: kept game: $moves"
  [[ "$moves" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || fail "$name: kept game is '$moves'"
  [ "$(stat -c %s korvin.cfg)" -eq 28 ] || fail "$name: korvin.cfg not written"
  ls | grep -q '\.tmp' && fail "$name: a temporary file was left"
  cd "$work" || fail "no work folder"
}

# ----- Expert, closed by the window's close button while thinking -----------
start_and_play close-button 4
sleep 1  # the computer thinks for 10 s
since=$(now_ms)
"$close_helper" "$main" || fail "could not send the close request"
expect_closed_with_reply close-button "$since"

# ----- Expert, SIGTERM while thinking (as at log-out) -------------------------
start_and_play sigterm 4
sleep 1
since=$(now_ms)
kill -TERM "$program_pid"
expect_closed_with_reply sigterm "$since"

# ----- SIGTERM while the "Load File" requester is open ------------------------
start_and_play requester 1
sleep 1  # Novice has answered
click_at $((WX + 200)) $((WY + 200)) 3  # Options
options=$(wait_window 480x330 Options) || fail "requester: no Options dialog"
window_origin "$options"
click_at $((WX + 135 + 50)) $((WY + 25 + 12))  # "Load Game"
for _ in $(seq 50); do
  requester=$(xdotool search --name "^Load File\$" 2>/dev/null | head -1)
  [ -n "$requester" ] && break
  sleep 0.1
done
[ -n "$requester" ] || fail "requester: no Load File requester"
sleep 0.3
since=$(now_ms)
kill -TERM "$program_pid"
expect_closed_with_reply requester "$since"

# ----- SIGTERM during the welcome dialog: the kept game is not touched --------
fresh_work_folder "$work/welcome"
cd "$work/welcome" || fail "no work folder"
printf '\044\070\007' > korvin.kga  # damaged: it would be moved aside if read
write_config 440 312 400 400 0 1 0
"$program" > program.log 2>&1 &
program_pid=$!
welcome=$(wait_window 432x325) || fail "welcome: no welcome dialog"
since=$(now_ms)
kill -TERM "$program_pid"
main=$welcome
took=$(wait_window_gone "$welcome" "$since") || fail "welcome: the dialog stayed"
echo "welcome: dialog gone $took ms after the request"
[ "$took" -le "$deadline_ms" ] || fail "welcome: the dialog took $took ms to go"
wait_exit 0
[ "$(od -An -tu1 korvin.kga | tr -s ' ')" = " 36 56 7" ] || fail "welcome: korvin.kga was changed"
ls | grep -q 'damaged' && fail "welcome: korvin.kga was moved aside"
echo "PASSED: logs in $work"
