#!/usr/bin/env bash
# Installs the build tree into a temporary prefix whose path holds a space and
# checks what lands there: programs, shipped files, desktop entry, icons and
# AppStream metadata (with their validators), then the launcher's handling of
# the per-user working folder, with a stand-in program in place of the window
# program so that no display is needed.
# Usage: install_layout.sh CMAKE BUILD-DIR SOURCE-DIR VERSION EXPECT-PROGRAM(0|1)
set -uo pipefail
cmake_command="$1" build="$2" source="$3" version="$4" expect_program="$5"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/install_common.sh"

root="$tmp/tree root"
prefix="$root/usr"
install_into "$cmake_command" "$build" "$prefix"
app_id=io.github.korvin4.Korvin4

# ----- Layout -----------------------------------------------------------------
for tool in korvin4 korvin-cli korvin-uci; do
  [ -f "$prefix/bin/$tool" ] && [ -x "$prefix/bin/$tool" ] || fail "bin/$tool is not installed as a program"
done
[ "$(head -c 2 "$prefix/bin/korvin4")" = "#!" ] || fail "bin/korvin4 is not the launcher script"
grep -q '@KORVIN4_' "$prefix/bin/korvin4" && fail "the installed launcher still holds unconfigured locations"
if [ "$expect_program" = 1 ]; then
  program="$prefix/libexec/korvin4/korvin4"
  [ -f "$program" ] && [ -x "$program" ] || fail "libexec/korvin4/korvin4 is not installed"
  [ "$(head -c 4 "$program" | od -An -c | tr -d ' ')" = '177ELF' ] || fail "libexec/korvin4/korvin4 is not a compiled program"
fi
check "programs in bin/ and libexec/korvin4/"

# The manifest lists every installed file, so that an installation can be
# removed by it.
diff <(sort "$tmp/manifest.txt") <(find "$prefix" ! -type d | sort) ||
  fail "install_manifest.txt does not list exactly the installed files"
check "install_manifest.txt lists every installed file"

# The installed tools run from their new place.
[ "$("$prefix/bin/korvin-cli" perft 2 | awk '$1 == "nodes" { print $2 }')" = 400 ] ||
  fail "the installed korvin-cli does not count the 400 positions after two half-moves"
printf 'uci\nquit\n' | timeout 20 "$prefix/bin/korvin-uci" | grep -qx 'uciok' ||
  fail "the installed korvin-uci does not answer uci"
check "installed korvin-cli and korvin-uci run"

shipped=0
for asset in "$source"/assets/*; do
  name=$(basename "$asset")
  same_bytes "$asset" "$prefix/share/korvin4/$name" || fail "share/korvin4/$name is missing or differs from assets/"
  shipped=$((shipped + 1))
done
[ "$shipped" -ge 19 ] || fail "only $shipped files in assets/"
installed_count=$(find "$prefix/share/korvin4" -type f | wc -l)
[ "$installed_count" -eq "$shipped" ] || fail "share/korvin4 holds $installed_count files, assets/ $shipped"
check "all $shipped shipped files in share/korvin4"

icons=0
for icon in "$source"/desktop/icons/hicolor/*/apps/korvin4.*; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  same_bytes "$icon" "$prefix/share/icons/hicolor/$size/apps/$(basename "$icon")" ||
    fail "icon $size is missing or differs"
  icons=$((icons + 1))
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/korvin4.svg" ] || fail "no scalable icon"
[ -f "$prefix/share/icons/hicolor/48x48/apps/korvin4.png" ] || fail "no 48x48 icon"
check "$icons icons"

desktop="$prefix/share/applications/korvin4.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no AppStream metainfo"
# "Open With" hands a file over: the entry takes one (%f) of either kind.
for line in 'Name=Korvin 4' 'Exec=korvin4 %f' 'Icon=korvin4' 'Terminal=false' 'Type=Application' \
            'Categories=Game;BoardGame;' 'MimeType=application/x-korvin-game;application/x-chess-pgn;'; do
  grep -qxF -- "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q '<launchable type="desktop-id">korvin4.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch korvin4.desktop"
check "desktop entry and metainfo contents"

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || { echo "$out"; fail "desktop-file-validate rejects the entry"; }
  [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate has remarks"; }
  check "desktop-file-validate"
else
  echo "NOT CHECKED: desktop-file-validate is not installed (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
  # validate-tree also checks that the desktop entry it launches is installed.
  appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli rejects the installed metadata"
  check "appstreamcli validate-tree"
else
  echo "NOT CHECKED: appstreamcli is not installed (package appstream)"
fi

# The file type of saved games: well-formed, accepted by update-mime-database
# (run on a copy, so the prefix keeps only installed files), and giving
# "*.kga" the name "Korvin game".
mime="$prefix/share/mime/packages/korvin4.xml"
[ -f "$mime" ] || fail "no MIME type for Korvin games in share/mime/packages"
grep -q 'StartupWMClass=korvin4' "$desktop" || fail "the desktop entry does not name the window class korvin4"
if command -v xmllint >/dev/null; then
  xmllint --noout "$mime" || fail "xmllint rejects $mime"
  check "xmllint: the MIME type file is well-formed"
else
  echo "NOT CHECKED: xmllint is not installed (package libxml2-utils)"
fi
if command -v update-mime-database >/dev/null; then
  mkdir -p "$tmp/mime/packages"
  cp "$mime" "$tmp/mime/packages/"
  out=$(update-mime-database -V "$tmp/mime" 2>&1) || { echo "$out"; fail "update-mime-database rejects the MIME type"; }
  if grep -qiE 'warning|error|unknown' <<<"$out"; then echo "$out"; fail "update-mime-database has remarks"; fi
  grep -q '<comment>Korvin game</comment>' "$tmp/mime/application/x-korvin-game.xml" 2>/dev/null ||
    fail "the MIME database has no \"Korvin game\" type"
  grep -qx '50:application/x-korvin-game:\*.kga' "$tmp/mime/globs2" || fail "*.kga is not a Korvin game in globs2"
  check "update-mime-database: *.kga is application/x-korvin-game, \"Korvin game\""
else
  echo "NOT CHECKED: update-mime-database is not installed (package shared-mime-info)"
fi

# The entry, the metadata and the file type in every language of po/LINGUAS,
# translated from the catalogues when the program was built.
languages=0
for language in $(grep -v '^#' "$source/po/LINGUAS"); do
  for key in Name GenericName Comment Keywords; do
    grep -q "^$key\[$language\]=." "$desktop" || fail "the desktop entry has no $key in $language"
  done
  grep -q "<summary xml:lang=\"$language\">" "$metainfo" || fail "the metainfo has no summary in $language"
  grep -q "<p xml:lang=\"$language\">" "$metainfo" || fail "the metainfo has no description in $language"
  grep -q "<comment xml:lang=\"$language\">" "$mime" || fail "the file type has no comment in $language"
  languages=$((languages + 1))
done
[ "$languages" -ge 8 ] || fail "only $languages languages in po/LINGUAS"
grep -qxF 'Comment[de]=Schach gegen den Computer spielen' "$desktop" || fail "the German comment is not the catalogue's"
check "desktop entry, metainfo and file type in $languages languages"

# The manual pages of the three programs.
for page in korvin4 korvin-cli korvin-uci; do
  [ -f "$prefix/share/man/man6/$page.6.gz" ] || fail "no manual page $page(6)"
  gzip -dc "$prefix/share/man/man6/$page.6.gz" | grep -q "^\.TH $(tr a-z A-Z <<<"$page") 6 " ||
    fail "share/man/man6/$page.6.gz is not the manual page of $page"
done
check "manual pages korvin4(6), korvin-cli(6), korvin-uci(6)"

# ----- Launcher, with a stand-in for the window program ----------------------
# The stand-in writes its folder and arguments to $STUB_LOG and ends with 3.
stub="$prefix/libexec/korvin4/korvin4"
mkdir -p "$(dirname "$stub")"
cat > "$stub" <<'STUB'
#!/bin/sh
{ pwd -P; for a in "$@"; do printf '[%s]\n' "$a"; done; } > "$STUB_LOG"
exit 3
STUB
chmod +x "$stub"
export STUB_LOG="$tmp/stub.log"
export DISPLAY=:stand-in
unset WAYLAND_DISPLAY QT_QPA_PLATFORM KORVIN4_PROGRAM KORVIN4_ASSETS

# Runs launcher $1 with the remaining arguments; status in $status, error
# output in $tmp/launcher.err.
launch() {
  local launcher="$1"; shift
  rm -f "$STUB_LOG"
  timeout 20 "$launcher" "$@" 2> "$tmp/launcher.err"
  status=$?
}
expect_run() {  # folder, then the expected argument lines
  local folder="$1"; shift
  [ "$status" -eq 3 ] || { cat "$tmp/launcher.err"; fail "the launcher ended with $status, not the program's 3"; }
  [ -f "$STUB_LOG" ] || fail "the program was not started"
  local expected
  expected=$(cd "$folder" && pwd -P; for a in "$@"; do printf '[%s]\n' "$a"; done)
  [ "$(cat "$STUB_LOG")" = "$expected" ] ||
    { echo "expected:"; echo "$expected"; echo "got:"; cat "$STUB_LOG"; fail "wrong folder or arguments"; }
}
all_assets_in() {
  local name
  for asset in "$prefix"/share/korvin4/*; do
    name=$(basename "$asset")
    same_bytes "$asset" "$1/$name" || fail "$name was not copied into $1"
  done
}

launcher="$prefix/bin/korvin4"
export XDG_DATA_HOME="$tmp/data home/nested"
folder="$XDG_DATA_HOME/korvin4"
# Arguments (game files) are made absolute against the caller's folder.
launch "$launcher" "two words" "" '$HOME * ?' /abs/file
expect_run "$folder" "$PWD/two words" "" "$PWD/"'$HOME * ?' /abs/file
all_assets_in "$folder"
[ ! -e "$folder/korvin.cfg" ] && [ ! -e "$folder/korvin.kga" ] || fail "the launcher created korvin.cfg or korvin.kga"
[ -z "$(find "$folder" -name '.*' ! -path "$folder")" ] || fail "temporary files were left in the working folder"
check "first start: folder created, every asset copied, program started there with its arguments"

# The user's files stay; a shipped copy is refreshed only when the installed
# one is newer, and a missing one is copied again.
printf 'user settings 28 bytes long!' > "$folder/korvin.cfg"
printf '\044\070\007\017\070\000\000' > "$folder/korvin.kga"
cp "$folder/korvin.cfg" "$tmp/cfg.saved"
cp "$folder/korvin.kga" "$tmp/kga.saved"
printf 'shipped by mistake' > "$prefix/share/korvin4/korvin.cfg"
printf 'shipped by mistake' > "$prefix/share/korvin4/korvin.kga"
printf 'stale copy' > "$folder/light.jpg"
touch -d '2001-01-01' "$folder/light.jpg"
printf 'edited by the user' > "$folder/dark.jpg"
touch -d '2001-01-01' "$prefix/share/korvin4/dark.jpg"
rm "$folder/fig1.png"
launch "$launcher"
expect_run "$folder"
same_bytes "$folder/korvin.cfg" "$tmp/cfg.saved" || fail "korvin.cfg was overwritten"
same_bytes "$folder/korvin.kga" "$tmp/kga.saved" || fail "korvin.kga was overwritten"
same_bytes "$folder/light.jpg" "$prefix/share/korvin4/light.jpg" || fail "an older copy was not refreshed"
same_bytes "$folder/fig1.png" "$prefix/share/korvin4/fig1.png" || fail "a missing copy was not restored"
[ "$(cat "$folder/dark.jpg")" = 'edited by the user' ] || fail "a copy newer than the installed file was replaced"
check "second start: korvin.cfg and korvin.kga kept, old copy refreshed, missing copy restored, newer copy kept"

touch "$prefix/share/korvin4/dark.jpg"   # a reinstall brings a newer file
touch -d '2001-01-01' "$folder/dark.jpg"
launch "$launcher"
expect_run "$folder"
same_bytes "$folder/dark.jpg" "$prefix/share/korvin4/dark.jpg" || fail "a newly installed file was not copied"
rm "$prefix/share/korvin4/korvin.cfg" "$prefix/share/korvin4/korvin.kga"
check "a file touched newer in the prefix is copied again"

# Installs keep the files' own times. A later release whose file is dated
# before the user's last start, but after the file it replaces, still counts
# as newer.
touch -d '2005-01-01' "$prefix/share/korvin4/chess.jpg"
rm "$folder/chess.jpg"
launch "$launcher"
printf 'next release' > "$prefix/share/korvin4/chess.jpg"
touch -d '2010-01-01' "$prefix/share/korvin4/chess.jpg"
launch "$launcher"
expect_run "$folder"
same_bytes "$folder/chess.jpg" "$prefix/share/korvin4/chess.jpg" ||
  fail "a reinstalled file dated after the one it replaces was not copied"
check "a reinstalled file with an older date than the last start is copied"

# Without XDG_DATA_HOME, or with a relative one, the folder is under HOME.
export HOME="$tmp/home dir"
unset XDG_DATA_HOME
launch "$launcher"
expect_run "$HOME/.local/share/korvin4"
XDG_DATA_HOME="relative/data" launch "$launcher"
expect_run "$HOME/.local/share/korvin4"
[ ! -e relative ] || fail "a relative XDG_DATA_HOME was used"
all_assets_in "$HOME/.local/share/korvin4"
check "~/.local/share/korvin4 by default and for a relative XDG_DATA_HOME"

# The folder cannot be created: a clear message, no program.
printf 'x' > "$tmp/plain file"
XDG_DATA_HOME="$tmp/plain file/data" launch "$launcher"
[ "$status" -ne 0 ] && [ "$status" -ne 3 ] || fail "the launcher did not fail for an impossible folder ($status)"
[ ! -e "$STUB_LOG" ] || fail "the program was started without its folder"
grep -q 'korvin4: cannot create the working folder' "$tmp/launcher.err" ||
  { cat "$tmp/launcher.err"; fail "no clear message for an impossible folder"; }
check "impossible working folder: clear message, status $status"

# A relocated installation and a link to the launcher still find their files.
export XDG_DATA_HOME="$tmp/data moved"
mv "$root" "$tmp/moved tree"
prefix="$tmp/moved tree/usr"
launch "$prefix/bin/korvin4" x
expect_run "$XDG_DATA_HOME/korvin4" "$PWD/x"
all_assets_in "$XDG_DATA_HOME/korvin4"
mkdir -p "$tmp/links/deeper"
ln -s "$prefix/bin/korvin4" "$tmp/links/k4"
ln -s ../k4 "$tmp/links/deeper/k4 again"
launch "$tmp/links/deeper/k4 again" y
expect_run "$XDG_DATA_HOME/korvin4" "$PWD/y"
check "moved prefix and a chain of links to the launcher"

# The build-tree overrides: relative paths count from the caller's folder.
mkdir -p "$tmp/build tree/assets"
cp "$prefix/libexec/korvin4/korvin4" "$tmp/build tree/program"
printf 'other book' > "$tmp/build tree/assets/korvin.bok"
export XDG_DATA_HOME="$tmp/data override"
cd "$tmp/build tree" || fail "no build tree folder"
KORVIN4_PROGRAM=program KORVIN4_ASSETS=assets launch "$prefix/bin/korvin4" z
cd - > /dev/null || fail "cannot go back"
expect_run "$XDG_DATA_HOME/korvin4" "$tmp/build tree/z"
[ "$(cat "$XDG_DATA_HOME/korvin4/korvin.bok")" = 'other book' ] || fail "KORVIN4_ASSETS was not used"
[ "$(ls "$XDG_DATA_HOME/korvin4")" = korvin.bok ] || fail "installed files were copied despite KORVIN4_ASSETS"
check "KORVIN4_PROGRAM and KORVIN4_ASSETS override the installed locations"

# Clear failures: no program, no display.
KORVIN4_PROGRAM="$tmp/none" launch "$prefix/bin/korvin4"
[ "$status" -eq 1 ] && grep -q 'is missing or not executable' "$tmp/launcher.err" ||
  { cat "$tmp/launcher.err"; fail "no clear message for a missing program"; }
DISPLAY= launch "$prefix/bin/korvin4"
[ "$status" -eq 1 ] && grep -q 'no display' "$tmp/launcher.err" && [ ! -e "$STUB_LOG" ] ||
  { cat "$tmp/launcher.err"; fail "no clear message without a display"; }
check "clear messages for a missing program and a missing display"

echo "PASSED"
