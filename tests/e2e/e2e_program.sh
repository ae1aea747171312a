#!/usr/bin/env bash
# End-to-end test of korvin4 under Xvfb: first run with the welcome dialog,
# one move by mouse and the computer's reply, closing by the window's close
# request, the kept game and settings on disk, and a second run that starts
# without the welcome dialog and shows the kept position.
# Usage: e2e_program.sh KORVIN4 ASSET-DIR CLOSE-HELPER WORK-DIR
# Exit status 77 (skipped) when no X server can be started.
set -uo pipefail
program="$1" assets="$2" close_helper="$3" work="$4"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

fresh_work_folder "$work"
cd "$work" || fail "no work folder"
echo "work folder: $work"

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
