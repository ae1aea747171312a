#!/usr/bin/env bash
# End-to-end test of the Windows build: korvin4.exe under Wine in Xvfb with
# openbox, in a working folder of its own. e2e4 by two clicks is answered and
# kept; a right click opens "Options" and Esc closes it; a second start in
# the same folder touches nothing and ends; a close request saves the game
# and the settings and ends the program with status 0; started in German,
# its Options dialog is "Optionen". Wine runs in a prefix
# of the test's own (a copy of the build's), ended with the test.
# Usage: e2e_wine.sh KORVIN4.EXE ASSET-DIR WINE64 WINESERVER BUILD-PREFIX WORK-DIR
# Exit status 77 (skipped) when no X server or window manager can be started.
set -uo pipefail
program="$1" assets="$2" wine64="$3" wineserver="$4" build_prefix="$5" work="$6"
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
start_window_manager "$work.openbox.log"

[ -f "$build_prefix/system.reg" ] || skip "no Wine prefix at $build_prefix (make test-windows prepares it)"
export WINEPREFIX="$work.prefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LC_ALL=C.UTF-8
rm -rf "$WINEPREFIX"
cp -a "$build_prefix" "$WINEPREFIX" || fail "cannot copy the Wine prefix"
end_wine() { "$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; rm -rf "$WINEPREFIX"; }
trap 'end_wine; cleanup' EXIT

fresh_work_folder "$work"
cp "$program" "$work/korvin4.exe"
# The marker of a portable Korvin 4: the folder of the .exe is its working folder.
touch "$work/korvin4.portable"
cd "$work" || fail "no work folder"
write_config 440 312 400 400 0 1 1
start() {
  "$wine64" "$work/korvin4.exe" > "$1.log" 2>&1 &
}
# A right click on the board opens Options, titled $1 (screenshot $2.png),
# and Esc closes it. Under Wine the X server's focus stays with the process's
# first window (Wine passes the keys on to the window Windows has in front),
# so the keyboard is shown by a key: Esc, typed with nothing else done.
options_opens_and_closes() {
  local title="$1" shot="$2" options
  click_at $((WX + 200)) $((WY + 200)) 3
  options=$(wait_window 480x330 "$title") || { screenshot "$shot"; fail "no $title dialog on a right click"; }
  screenshot "$shot"
  xdotool key Escape
  wait_window_gone "$options" "$(now_ms)" > /dev/null || fail "Esc did not close $title"
}
start program
program_pid=$!
main=$(wait_window 400x400) || { cat program.log; fail "no board window under Wine"; }
expect_active "$main" "the board"
sleep 0.5
screenshot board

# e2e4 by two clicks; the reply is kept.
window_origin "$main"
click_at $((WX + 4 * 50 + 25)) $((WY + 6 * 50 + 25))
click_at $((WX + 4 * 50 + 25)) $((WY + 4 * 50 + 25))
kept=""
for _ in $(seq 100); do
  kept=$(game_moves korvin.kga 2>/dev/null)
  [[ "$kept" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && break
  sleep 0.1
done
[[ "$kept" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || { screenshot move; fail "e2e4 was not played and kept: '$kept'"; }
echo "ok: e2e4 played and answered under Wine: $kept"

# Options on a right click; Esc closes it.
options_opens_and_closes Options options
echo "ok: Options opened on a right click and closed with Esc"

# A second start in the same folder touches nothing: it says so and ends.
cfg_before=$(od -An -tx1 korvin.cfg)
start second
second_pid=$!
message=$(wait_message "$main") || { cat second.log; fail "the second start said nothing"; }
xdotool windowactivate --sync "$message" key Return
for _ in $(seq 100); do kill -0 "$second_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second_pid" 2>/dev/null && fail "the second start did not end"
[ "$(game_moves korvin.kga)" = "$kept" ] || fail "the second start changed the kept game"
[ "$(od -An -tx1 korvin.cfg)" = "$cfg_before" ] || fail "the second start changed korvin.cfg"
[ "$(xdotool search --name '^Korvin 4$' 2>/dev/null | wc -l)" -eq 1 ] || fail "a second board window opened"
echo "ok: a second start in the same folder touched nothing and ended"

# A close request (the window manager's Alt+F4) saves and ends the program.
rm -f korvin.cfg
xdotool windowactivate --sync "$main" key alt+F4
wait_exit 0
[ "$(stat -c %s korvin.cfg)" -eq 28 ] || fail "korvin.cfg was not written at the end"
[ "$(game_moves korvin.kga)" = "$kept" ] || fail "the kept game changed at the end"
echo "ok: the close request saved the settings and ended the program"

# A German user: Wine started in German gives the program German texts, the
# title of Options among them. (Wine hands its locale on to the program's
# variables too; the display language alone is tried by display_language_tests.)
LC_ALL=de_DE.UTF-8 start german
program_pid=$!
main=$(wait_window 400x400) || { cat german.log; fail "no board window in German"; }
window_origin "$main"
options_opens_and_closes Optionen german
xdotool windowactivate --sync "$main" key alt+F4
wait_exit 0
echo "ok: in German, Options is \"Optionen\""
echo "PASSED: screenshots in $work"
