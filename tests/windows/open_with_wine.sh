#!/usr/bin/env bash
# Open With under Wine, with the portable zip: unpacked into a folder with
# spaces and accented letters, it holds the programs, the pictures and book,
# the licence, a readme and the "korvin4.portable" marker, and keeps its
# games beside itself. `korvin4.exe game.kga` and `korvin4.exe game.pgn`,
# named relative to another folder, start with that game on the board and
# kept; while one runs, a later start with a file makes the running one
# load it and ends at once, with no second window.
# Usage: open_with_wine.sh ZIP WINE64 WINESERVER WORK-DIR
# Exit status 77 (skipped) when Wine, an X server or openbox is missing.
set -uo pipefail
zip="$1" wine64="$2" wineserver="$3" work="$4"
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "${BASH_SOURCE[0]}")/wine_common.sh"
[ -f "$zip" ] || fail "no zip at $zip"
make_prefix

# The zip: one folder, the program and its files side by side.
portable="$work/Korvin 4 – tragbar"
mkdir -p "$portable.unpack" && cd "$portable.unpack" || fail "no folder"
cmake -E tar xf "$zip" || fail "the zip cannot be unpacked"
[ "$(ls | wc -l)" -eq 1 ] || fail "the zip does not hold one folder: $(ls)"
mv -- "$(ls)" "$portable" && cd "$work" && rmdir "$portable.unpack"
for file in korvin4.exe korvin-cli.exe korvin-uci.exe korvin4.portable LICENSE.txt README.txt korvin.bok fig14.png; do
  [ -f "$portable/$file" ] || fail "the zip lacks $file"
done
[ -e "$portable/korvin.kga" ] || [ -e "$portable/korvin.cfg" ] && fail "the zip carries a game or settings"
echo "ok: the zip holds the programs, the pictures and book, the licence, the readme and the marker"

cd "$portable" && write_config 0 0 400 400 0 1 1 && cd "$work" || fail "no settings"
games="$work/Schachpartien – Übung"
mkdir -p "$games"
printf '\044\070\007\017\070\000\000\126\102\007\017\102\000\000' > "$games/e4 e5.kga"   # e2e4 e7e5
printf '[Event "Open With"]\n[White "A"]\n[Black "B"]\n[Result "*"]\n\n1. d4 d5 2. c4 *\n' > "$games/d4 d5 c4.pgn"
cd "$games" || fail "no folder"
start() {
  "$wine64" "$(windows_path "$portable/korvin4.exe")" "$2" > "$work/$1.log" 2>&1 &
}

# $1 at the start, then $2 handed over by a later start.
open_and_hand_over() {
  local first="$1" first_moves="$2" second="$3" second_moves="$4" main later
  start "start-$first_moves" "$first"
  program_pid=$!
  main=$(wait_window 400x400) || { cat "$work/start-$first_moves.log"; fail "no board window for $first"; }
  wait_kept "$portable/korvin.kga" "$first_moves" || fail "$first was not on the board and kept at the start"
  screenshot "$work/opened-${first##*.}"
  start "later-$second_moves" "$second"
  later=$!
  wait_process "$later"
  local status=$?
  [ "$status" -eq 0 ] || fail "the later start with $second ended with status $status"
  wait_kept "$portable/korvin.kga" "$second_moves" || fail "the running program did not load $second"
  [ "$(xdotool search --name '^Korvin 4$' 2>/dev/null | wc -l)" -eq 1 ] || fail "a second window opened for $second"
  echo "ok: $first opened at the start; $second handed to the running program, which loaded it"
  xdotool windowactivate --sync "$main" key alt+F4
  wait_exit 0
  [ "$(game_moves "$portable/korvin.kga")" = "$second_moves" ] || fail "the game changed at the end"
}
open_and_hand_over "e4 e5.kga" "e2e4 e7e5" "d4 d5 c4.pgn" "d2d4 d7d5 c2c4"
open_and_hand_over "d4 d5 c4.pgn" "d2d4 d7d5 c2c4" "e4 e5.kga" "e2e4 e7e5"
[ -e "$local_app_data/Korvin 4" ] && fail "the portable program used the user's folder"
echo "ok: the portable program kept everything beside itself"
echo "PASSED"
