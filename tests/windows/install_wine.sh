#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it: on a Windows without
# the window program's functions it refuses and installs nothing. A silent install
# (/S) into a fresh Wine prefix puts the programs, the pictures and book and
# the licence into %LOCALAPPDATA%\Programs\Korvin 4, the Start menu
# shortcut, the "Korvin game" type of .kga, Korvin 4 under "Open with" of
# .pgn (not its default) and the entry of "Apps & features". Korvin 4
# started through the shortcut makes the user's folder, copies the pictures
# and book there, shows the welcome, and keeps a game played with two
# clicks. While it runs, an update is refused and the installation is left
# as it is, and a later start copies nothing into the folder it holds.
# The silent uninstaller removes the programs, the shortcut, the
# registration and the entry, and leaves the user's game and settings.
# Usage: install_wine.sh SETUP.EXE REFUSING-SETUP.EXE ASSET-DIR WINE64 WINESERVER WORK-DIR
# (REFUSING-SETUP.EXE: the installer made to find every Windows too old)
# Exit status 77 (skipped) when Wine, an X server or openbox is missing.
set -uo pipefail
setup="$1" refusing_setup="$2" shipped="$3" wine64="$4" wineserver="$5" work="$6"
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "${BASH_SOURCE[0]}")/wine_common.sh"
[ -f "$setup" ] || fail "no installer at $setup"
[ -f "$refusing_setup" ] || fail "no refusing installer at $refusing_setup"
cd "$work" || fail "no work folder"
make_prefix

# Where the window program's Windows 10 (1607) functions are missing it
# would not start: the installer says so, ends with "requires a newer
# Windows" (1150, of which Wine hands on the low byte) and installs nothing.
# Wine has every function, so the installer tried here is one made to look
# for a function no Windows has.
"$wine64" "$refusing_setup" /S > old-windows.log 2>&1
status=$?
"$wineserver" -w
[ "$status" -eq $((1150 % 256)) ] || fail "where the functions are missing the installer ended with status $status"
[ -e "$local_app_data/Programs/Korvin 4" ] && fail "where the functions are missing the installer installed something"
echo "ok: without the functions of Windows 10 the installer refused and installed nothing"

# The silent install, timed.
started=$(now_ms)
"$wine64" "$setup" /S > install.log 2>&1
status=$?
"$wineserver" -w
echo "silent install: status $status in $(($(now_ms) - started)) ms"
[ "$status" -eq 0 ] || { cat install.log; fail "the silent install ended with status $status"; }

installed="$local_app_data/Programs/Korvin 4"
user_folder="$local_app_data/Korvin 4"
for file in korvin4.exe korvin-cli.exe korvin-uci.exe uninstall.exe LICENSE.txt assets/korvin.bok assets/fig1.png; do
  [ -f "$installed/$file" ] || fail "the installation lacks $file"
done
[ "$(ls "$installed/assets" | wc -l)" -eq "$(ls "$shipped" | wc -l)" ] ||
  fail "the installation holds $(ls "$installed/assets" | wc -l) of the $(ls "$shipped" | wc -l) shipped files"
[ -e "$user_folder" ] && fail "the installer made the user's folder; the program makes it"
shortcut="$user_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Korvin 4.lnk"
[ -f "$shortcut" ] || fail "no Start menu shortcut"
LC_ALL=C grep -aq "korvin4.exe" <(tr -d '\000' < "$shortcut") || fail "the shortcut does not name korvin4.exe"
[ -e "$user_home/Desktop/Korvin 4.lnk" ] && fail "a desktop shortcut was made without being chosen"
echo "ok: the programs, the pictures and book, the licence and the Start menu shortcut are installed"

classes='HKCU\Software\Classes'
[ "$(reg_value "$classes\\.kga" "")" = "Korvin4.Game" ] || fail ".kga is not a Korvin game"
[ "$(reg_value "$classes\\Korvin4.Game" "")" = "Korvin game" ] || fail "the Korvin game type has no name"
command=$(reg_value "$classes\\Korvin4.Game\\shell\\open\\command" "")
[[ "$command" == \"*'\Programs\Korvin 4\korvin4.exe" "%1"' ]] || fail "the open command of .kga is '$command'"
[[ "$(reg_value "$classes\\Korvin4.Game\\DefaultIcon" "")" == *'\korvin4.exe,0' ]] || fail ".kga has no icon"
reg_has_value "$classes\\.pgn\\OpenWithProgids" Korvin4.PgnGame || fail "Korvin 4 is not offered for .pgn"
[ -z "$(reg_value "$classes\\.pgn" "")" ] || fail "the installer took .pgn over"
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvin 4'
[ "$(reg_value "$entry" DisplayName)" = "Korvin 4" ] || fail "no uninstall entry"
[ -n "$(reg_value "$entry" DisplayVersion)" ] || fail "the uninstall entry has no version"
[ -n "$(reg_value "$entry" Publisher)" ] || fail "the uninstall entry has no publisher"
[[ "$(reg_value "$entry" EstimatedSize)" =~ ^0x[0-9a-f]+$ ]] || fail "the uninstall entry has no size"
[[ "$(reg_value "$entry" UninstallString)" == *'uninstall.exe"' ]] || fail "the uninstall entry has no uninstaller"
[[ "$(reg_value "$entry" QuietUninstallString)" == *'uninstall.exe" /S' ]] || fail "no quiet uninstaller"
echo "ok: .kga is a Korvin game, .pgn offers Korvin 4, the uninstall entry is there"

# The first start through the shortcut, in another folder: the user's
# folder is made and gets the pictures and book; the welcome comes first.
mkdir -p elsewhere && cd elsewhere || fail "no folder"
start_shortcut() { "$wine64" start /unix "$shortcut" > "$work/$1.log" 2>&1; }
start_shortcut first
welcome=$(wait_window 432x325) || { screenshot "$work/no-welcome"; cat "$work/first.log"; fail "no welcome at the first start"; }
[ -f "$user_folder/korvin.bok" ] || fail "the first start did not copy the book into $user_folder"
[ "$(ls "$user_folder" | grep -vc '^korvin\.\(kga\|cfg\)$')" -eq "$(ls "$shipped" | wc -l)" ] ||
  fail "the user's folder lacks shipped files"
cmp -s "$shipped/light.jpg" "$user_folder/light.jpg" || fail "light.jpg was not copied whole"
screenshot "$work/welcome"
xdotool windowactivate --sync "$welcome" key alt+F4
main=$(wait_window 400x400) || { screenshot "$work/no-board"; fail "no board window after the welcome"; }
expect_active "$main" "the board"
window_origin "$main"
click_at $((WX + 4 * 50 + 25)) $((WY + 6 * 50 + 25))
click_at $((WX + 4 * 50 + 25)) $((WY + 4 * 50 + 25))
kept=""
for _ in $(seq 100); do
  kept=$(game_moves "$user_folder/korvin.kga" 2>/dev/null)
  [[ "$kept" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] && break
  sleep 0.1
done
[[ "$kept" =~ ^e2e4\ [a-h][1-8][a-h][1-8]$ ]] || { screenshot "$work/move"; fail "e2e4 was not kept in the user's folder: '$kept'"; }
[ -e "$installed/korvin.kga" ] && fail "the game was kept in the installation"
echo "ok: started through the shortcut, the program keeps its game in the user's folder: $kept"

# While it runs: an update is refused, and a later start (with a game to
# open) copies nothing into its folder.
picture="draw-nl@2x.png"
copied_time=$(stat -c %Y "$user_folder/$picture")
touch -d '+1 hour' "$installed/assets/$picture"
exe_before=$(md5sum < "$installed/korvin4.exe")
"$wine64" "$setup" /S > update.log 2>&1
status=$?
[ "$status" -ne 0 ] || fail "an update over the running Korvin 4 reported success"
[ "$(md5sum < "$installed/korvin4.exe")" = "$exe_before" ] || fail "the update changed the running program"
printf '\044\070\007\017\070\000\000\126\102\007\017\102\000\000' > "$work/open.kga"   # e2e4 e7e5
"$wine64" "$installed/korvin4.exe" "$(windows_path "$work/open.kga")" > "$work/later.log" 2>&1 &
later=$!
wait_process "$later" || fail "a later start did not end at once"
wait_kept "$user_folder/korvin.kga" "e2e4 e7e5" || fail "the running program did not open the later start's game"
[ "$(stat -c %Y "$user_folder/$picture")" = "$copied_time" ] || fail "a later start copied into the folder in use"
echo "ok: an update over the running program was refused (status $status); a later start copied nothing"

xdotool windowactivate --sync "$main" key alt+F4
wait_window_gone "$main" "$(now_ms)" > /dev/null || fail "the board window did not close"
"$wineserver" -w
[ "$(stat -c %s "$user_folder/korvin.cfg")" -eq 28 ] || fail "the settings were not kept in the user's folder"
settings=$(md5sum < "$user_folder/korvin.cfg")

# The silent uninstaller (it runs from a copy of itself: wait for Wine).
"$wine64" "$installed/uninstall.exe" /S > uninstall.log 2>&1
"$wineserver" -w
[ -e "$installed" ] && { ls -la "$installed"; fail "the uninstaller left the installation"; }
[ -e "$shortcut" ] && fail "the uninstaller left the Start menu shortcut"
reg_has_key "$classes\\Korvin4.Game" && fail "the uninstaller left the Korvin game type"
[ -n "$(reg_value "$classes\\.kga" "")" ] && fail "the uninstaller left .kga registered"
reg_has_value "$classes\\.pgn\\OpenWithProgids" Korvin4.PgnGame && fail "the uninstaller left Open with of .pgn"
reg_has_key "$entry" && fail "the uninstaller left its entry"
[ "$(game_moves "$user_folder/korvin.kga")" = "e2e4 e7e5" ] || fail "the uninstaller touched the user's game"
[ "$(md5sum < "$user_folder/korvin.cfg")" = "$settings" ] || fail "the uninstaller touched the user's settings"
echo "ok: the uninstaller removed the program, the shortcut and the registration, and kept the user's game and settings"
echo "PASSED"
