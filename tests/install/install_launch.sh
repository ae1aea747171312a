#!/usr/bin/env bash
# Starts the installed Korvin 4 through its launcher under Xvfb, with a fresh
# XDG_DATA_HOME: the working folder is created and filled with every shipped
# file, and the window program runs there. A second start with the user's own
# "korvin.cfg" and "korvin.kga" in place must leave both byte for byte as they
# were (the program is killed, so it does not write them itself), must copy
# again a shipped file that was touched newer in the prefix, and must open the
# window the kept settings describe.
# Usage: install_launch.sh CMAKE BUILD-DIR
# Exit status 77 (skipped) when no X server can be started.
set -uo pipefail
cmake_command="$1" build="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/install_common.sh"
. "$here/../support/game_files.sh"
. "$here/../../scripts/xvfb.sh"

for tool in Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || skip "$tool is not installed, so the program cannot be started"
done

prefix="$tmp/pre fix"
install_into "$cmake_command" "$build" "$prefix"
program="$prefix/libexec/korvin4/korvin4"
[ -x "$program" ] || fail "the window program was not installed"

# ----- An X server on a free display ------------------------------------------
program_pid=""
cleanup_steps+=('[ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null')
cleanup_steps+=('xvfb_stop')
unset WAYLAND_DISPLAY QT_QPA_PLATFORM KORVIN4_PROGRAM KORVIN4_ASSETS
xvfb_start --log "$tmp/xvfb.log" 97 120 1280x1024x24 ||
  skip "no X server could be started on the displays :97 to :120 (see Xvfb's messages above)"
echo "X server on $DISPLAY"

export XDG_DATA_HOME="$tmp/data home"
folder="$XDG_DATA_HOME/korvin4"

# Waits for a window titled "Korvin 4" of the given size while the program runs.
wait_window() {
  for _ in $(seq 150); do
    kill -0 "$program_pid" 2>/dev/null || return 1
    for id in $(xdotool search --name '^Korvin 4$' 2>/dev/null); do
      xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1" && return 0
    done
    sleep 0.1
  done
  return 1
}
# The window of the given size carries the program's icon and window class,
# so the task bar shows it and groups it with the menu entry. (The window
# may be mapped a moment before its properties are all set.)
check_icon() {
  local id
  for _ in $(seq 50); do
    for id in $(xdotool search --name '^Korvin 4$' 2>/dev/null); do
      xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1" || continue
      xprop -id "$id" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (48 x 48)' || continue
      xprop -id "$id" WM_CLASS | grep -q '"korvin4"' || fail "the $1 window's class is not korvin4"
      return 0
    done
    sleep 0.1
  done
  xprop -id "$id" _NET_WM_ICON | head -3
  fail "the $1 window has no 48 x 48 icon in _NET_WM_ICON"
}
# Starts the launcher in the background; the launcher becomes the program.
start() {
  "$prefix/bin/korvin4" > "$tmp/$1.log" 2>&1 &
  program_pid=$!
}
# The running program must be the installed one, inside the working folder,
# and still running after two seconds; then it is killed without a chance to
# write its files.
check_running_and_kill() {
  [ "$(readlink "/proc/$program_pid/exe")" = "$(readlink -f "$program")" ] ||
    fail "the running process is $(readlink "/proc/$program_pid/exe"), not the installed program"
  [ "$(readlink "/proc/$program_pid/cwd")" = "$(cd "$folder" && pwd -P)" ] ||
    fail "the program runs in $(readlink "/proc/$program_pid/cwd"), not in the working folder"
  sleep 2
  kill -0 "$program_pid" 2>/dev/null || { cat "$tmp/$1.log"; fail "the program ended within two seconds"; }
  kill -9 "$program_pid"
  wait "$program_pid" 2>/dev/null
  program_pid=""
}

# ----- First start: the welcome dialog in a new working folder ----------------
start first
wait_window 432x325 || { cat "$tmp/first.log"; fail "no welcome dialog on the first start"; }
check_icon 432x325
for asset in "$prefix"/share/korvin4/*; do
  same_bytes "$asset" "$folder/$(basename "$asset")" || fail "$(basename "$asset") is not in the working folder"
done
check_running_and_kill first
check "first start: folder created with every shipped file, program running there, icon on the window"

# ----- Second start: the user's settings and game are kept -------------------
# Settings: window at 100,80, 320 x 320, human plays White, Novice, no welcome.
printf '\144\000\000\000\120\000\000\000\100\001\000\000\100\001\000\000\000\000\000\000\001\000\000\000\001\000\000\000' \
  > "$folder/korvin.cfg"
# e2-e4 e7-e5, the user (White) to move: nothing for the program to write.
printf '\044\070\007\017\070\000\000\126\102\007\017\102\000\000' > "$folder/korvin.kga"
[ "$(stat -c %s "$folder/korvin.cfg")" -eq 28 ] || fail "the test's korvin.cfg is not 28 bytes"
cp "$folder/korvin.cfg" "$tmp/cfg.saved"
cp "$folder/korvin.kga" "$tmp/kga.saved"
# A copy with other bytes but the installed file's time, then a newer install.
printf 'not the shipped picture' > "$folder/light.jpg"
touch -r "$prefix/share/korvin4/light.jpg" "$folder/light.jpg"
touch "$prefix/share/korvin4/light.jpg"
start second
wait_window 320x320 || { cat "$tmp/second.log"; fail "the second start did not open the 320 x 320 window of the kept settings"; }
check_icon 320x320
same_bytes "$folder/light.jpg" "$prefix/share/korvin4/light.jpg" || fail "the newer light.jpg was not copied again"
check_running_and_kill second
same_bytes "$folder/korvin.cfg" "$tmp/cfg.saved" || fail "korvin.cfg was changed by the launcher"
same_bytes "$folder/korvin.kga" "$tmp/kga.saved" || fail "korvin.kga was changed by the launcher"
check "second start: kept korvin.cfg and korvin.kga unchanged, newer shipped file copied, window of the kept settings"

# ----- Open With: a PGN file named relative to the folder of the start --------
# Waits until the kept game holds the given moves.
wait_kept() {
  for _ in $(seq 100); do
    [ -f "$folder/korvin.kga" ] && [ "$(game_moves "$folder/korvin.kga")" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
mkdir -p "$tmp/docs"
printf '[Event "From elsewhere"]\n[White "A"]\n[Black "B"]\n[Result "*"]\n\n1. d4 Nf6 2. c4 *\n' > "$tmp/docs/first.pgn"
printf '[Event "Another"]\n\n1. e4 c5 *\n' > "$tmp/docs/second game.pgn"
cd "$tmp/docs" || fail "no folder $tmp/docs"
"$prefix/bin/korvin4" first.pgn > "$tmp/open.log" 2>&1 &
program_pid=$!
cd - > /dev/null || fail "cannot go back"
wait_window 320x320 || { cat "$tmp/open.log"; fail "the start with a file opened no window"; }
wait_kept "d2d4 g8f6 c2c4" || fail "the file given at the start was not loaded (kept game: $(game_moves "$folder/korvin.kga"))"
check "a start with a PGN file named relative to the caller's folder loads it"

# A later start with a file while it runs: the running program loads it, no
# second window opens, the later start ends by itself, and no shipped file
# is copied meanwhile.
touch "$prefix/share/korvin4/dark.jpg"
before_dark=$(stat -c %Y "$folder/dark.jpg")
(cd "$tmp/docs" && "$prefix/bin/korvin4" "second game.pgn" > "$tmp/open2.log" 2>&1)
status=$?
[ "$status" -eq 0 ] || { cat "$tmp/open2.log"; fail "the later start ended with status $status"; }
wait_kept "e2e4 c7c5" || fail "the running program did not load the later start's file (kept game: $(game_moves "$folder/korvin.kga"))"
[ "$(xdotool search --name '^Korvin 4$' 2>/dev/null | wc -l)" -eq 1 ] || fail "a second window opened"
[ "$(stat -c %Y "$folder/dark.jpg")" = "$before_dark" ] || fail "the launcher copied files while Korvin 4 ran"
kill -0 "$program_pid" 2>/dev/null || fail "the running program ended"

# Files whose names hold a line break, inside or at the end, reach the
# running program whole: a PGN file, and a Korvin game (g1-f3 g8-f6).
odd_pgn=$(printf 'odd\nname.pgn')
printf '[Event "Odd"]\n\n1. c4 e5 *\n' > "$tmp/docs/$odd_pgn"
odd_kga=$(printf 'kept\nx'); odd_kga=${odd_kga%x}
printf '\034\057\007\017\000\000\000\142\115\007\017\000\000\000' > "$tmp/docs/$odd_kga"
for odd in "$odd_pgn:c2c4 e7e5" "$odd_kga:g1f3 g8f6"; do
  name=${odd%:*} moves=${odd##*:}
  (cd "$tmp/docs" && "$prefix/bin/korvin4" "$name" > "$tmp/open3.log" 2>&1)
  status=$?
  [ "$status" -eq 0 ] || { cat "$tmp/open3.log"; fail "the later start with an odd name ended with status $status"; }
  wait_kept "$moves" ||
    fail "the running program did not load a file with a line break in its name (kept game: $(game_moves "$folder/korvin.kga"))"
done
# Back to the game the checks below expect.
(cd "$tmp/docs" && "$prefix/bin/korvin4" "second game.pgn" > "$tmp/open4.log" 2>&1)
wait_kept "e2e4 c7c5" || fail "the running program did not load second game.pgn again"

# A later start without a file says that Korvin 4 runs already, and touches
# nothing.
"$prefix/bin/korvin4" > "$tmp/again.log" 2>&1 &
again_pid=$!
message=""
for _ in $(seq 100); do
  for id in $(xdotool search --name '^Korvin 4$' 2>/dev/null); do
    xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 320x320' || message=$id
  done
  [ -n "$message" ] && break
  sleep 0.1
done
[ -n "$message" ] || { cat "$tmp/again.log"; fail "the later start showed no message"; }
grep -q "already running" "$tmp/again.log" || fail "the later start did not say that Korvin 4 runs"
kill "$again_pid"; wait "$again_pid" 2>/dev/null
[ "$(game_moves "$folder/korvin.kga")" = "e2e4 c7c5" ] || fail "the later start changed the kept game"
kill "$program_pid"; wait "$program_pid" 2>/dev/null; program_pid=""
check "a later start hands its file to the running program, or says that it runs"

echo "PASSED"
