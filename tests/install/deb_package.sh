#!/usr/bin/env bash
# The Debian package: built with CPack from the build tree into a temporary
# folder, it holds exactly what the install rules install (under /usr, owned
# by root, binaries stripped and working), declares its dependencies, and
# lintian finds no error in it. Run as root, the package is also really
# installed with apt-get, the installed program is started under Xvfb, and
# the package is purged again, leaving none of its files behind. The real
# install is skipped when it could touch anything not its own: a korvin4
# package already installed, or any of its files already on the system.
# Usage: deb_package.sh CMAKE SOURCE-DIR BUILD-DIR VERSION
# Exit status 77 (skipped) when dpkg-deb or the CPack configuration is missing.
set -uo pipefail
cmake_command="$1" source="$2" build="$3" version="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/install_common.sh"
. "$here/../../scripts/xvfb.sh"

command -v dpkg-deb >/dev/null || skip "dpkg-deb is not installed"
[ -f "$build/CPackConfig.cmake" ] || skip "no CPack configuration in $build"

# ----- Build the package --------------------------------------------------------
arch=$(dpkg --print-architecture)
[ -f "$build/install_manifest.txt" ] && cp -p "$build/install_manifest.txt" "$tmp/manifest-before.txt"
deb=$(bash "$source/scripts/make-deb.sh" "$build" "$tmp/package") || fail "make-deb.sh failed"
[ "$deb" = "$tmp/package/korvin4_${version}_${arch}.deb" ] || fail "the package is $deb, not korvin4_${version}_${arch}.deb"
if [ -f "$tmp/manifest-before.txt" ]; then
  same_bytes "$tmp/manifest-before.txt" "$build/install_manifest.txt" || fail "the build tree's install_manifest.txt changed"
else
  [ -e "$build/install_manifest.txt" ] && fail "packaging left an install_manifest.txt in the build tree"
fi
check "built $(basename "$deb")"

# ----- Control fields -----------------------------------------------------------
dpkg-deb --info "$deb" > "$tmp/info.txt" || fail "dpkg-deb --info failed"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = korvin4 ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends)
for library in libc6 libstdc++6 libpng16-16 libjpeg62-turbo libqt6widgets6 libqt6gui6 libqt6core6; do
  tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//' | grep -qxF "$library" ||
    fail "Depends lacks $library: $depends"
done
check "control fields; dependencies from the binaries: $depends"

# ----- Contents: exactly what the install rules install -------------------------
dpkg-deb --contents "$deb" > "$tmp/contents.txt" || fail "dpkg-deb --contents failed"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$tmp/contents.txt" ||
  fail "files in the package not owned by root"
awk '$1 !~ /^[-l]/ { next } { sub(/^\.\//, "/", $6); print $6 }' "$tmp/contents.txt" | sort > "$tmp/package-files.txt"
install_into "$cmake_command" "$build" "$tmp/stage/usr"
sed "s|^$tmp/stage||" "$tmp/manifest.txt" | sort > "$tmp/installed-files.txt"
diff "$tmp/installed-files.txt" "$tmp/package-files.txt" ||
  fail "the package does not hold exactly the files the install rules install (< install, > package)"
for path in /usr/bin/korvin4 /usr/bin/korvin-cli /usr/bin/korvin-uci /usr/share/korvin4/korvin.bok \
    /usr/share/applications/korvin4.desktop /usr/share/doc/korvin4/copyright /usr/share/doc/korvin4/changelog.gz; do
  grep -qx "$path" "$tmp/package-files.txt" || fail "the package lacks $path"
done
check "$(wc -l < "$tmp/package-files.txt") files, the same as the install rules install"

# The unpacked binaries are stripped and work.
dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb -x failed"
for binary in usr/bin/korvin-cli usr/bin/korvin-uci usr/libexec/korvin4/korvin4; do
  [ -f "$tmp/root/$binary" ] || continue
  readelf -S "$tmp/root/$binary" | grep -q '\.symtab' && fail "$binary is not stripped"
done
"$tmp/root/usr/bin/korvin-cli" perft 2 | grep -q '^nodes 400$' || fail "the packaged korvin-cli does not work"
check "binaries stripped; the packaged korvin-cli works"

# ----- lintian ------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" > "$tmp/lintian.txt" 2>&1
  cat "$tmp/lintian.txt"
  grep -q '^E: ' "$tmp/lintian.txt" && fail "lintian reports errors"
  check "lintian: no errors ($(grep -c '^W: ' "$tmp/lintian.txt") warnings)"
else
  echo "note: lintian is not installed; not run"
fi

# ----- A real installation, as root only ----------------------------------------
no_real_install() { echo "note: $*: the package was not installed"; echo "PASSED"; exit 0; }
[ "$(id -u)" -eq 0 ] || no_real_install "not run as root"
command -v apt-get >/dev/null || no_real_install "no apt-get"
# One real installation at a time on this machine.
exec 9> /var/lock/korvin4-deb-test.lock
flock -w 900 9 || fail "another package test held /var/lock/korvin4-deb-test.lock for 15 minutes"
if dpkg-query -W -f='${Status}' korvin4 2>/dev/null | grep -q "installed"; then
  no_real_install "a korvin4 package is installed on this machine and is left alone"
fi
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] && no_real_install "$path already exists and could be overwritten"
done < "$tmp/package-files.txt"

installed=0
cleanup_steps+=('[ "$installed" = 1 ] && apt-get -o DPkg::Lock::Timeout=900 purge -y -qq korvin4 >> "$tmp/apt.log" 2>&1')
installed=1   # from here on the exit purges whatever part of it got installed
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "$deb" > "$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; fail "apt-get install $deb failed"; }
dpkg-query -W -f='${Status}' korvin4 | grep -q "install ok installed" || fail "korvin4 is not installed"
while read -r path; do
  [ -e "$path" ] || fail "$path is missing after the installation"
done < "$tmp/package-files.txt"
check "installed with apt-get"

# The installed program starts under Xvfb through the launcher on the PATH.
if command -v Xvfb >/dev/null; then
  program_pid=""
  cleanup_steps=('[ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null'
                 'xvfb_stop'
                 "${cleanup_steps[@]}")
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM KORVIN4_PROGRAM KORVIN4_ASSETS
  # Up once its socket is there: this test needs no xdotool.
  xvfb_start --ready socket --log "$tmp/xvfb.log" 121 140 1280x1024x24 ||
    fail "no X server could be started on the displays :121 to :140"
  export XDG_DATA_HOME="$tmp/data home"
  (cd "$tmp" && PATH=/usr/bin:/bin exec korvin4) > "$tmp/program.log" 2>&1 &
  program_pid=$!
  for _ in $(seq 50); do
    [ "$(readlink "/proc/$program_pid/exe")" = /usr/libexec/korvin4/korvin4 ] && break
    sleep 0.1
  done
  sleep 2
  [ "$(readlink "/proc/$program_pid/exe")" = /usr/libexec/korvin4/korvin4 ] ||
    { cat "$tmp/program.log"; fail "the installed program is not running"; }
  [ -f "$XDG_DATA_HOME/korvin4/korvin.bok" ] || fail "the launcher did not fill the working folder"
  kill -9 "$program_pid"; wait "$program_pid" 2>/dev/null; program_pid=""
  check "the installed program started under Xvfb in the user's working folder"
else
  echo "note: Xvfb is not installed; the installed program was not started"
fi

# ----- Removal leaves nothing of the package behind -----------------------------
apt-get -o DPkg::Lock::Timeout=900 purge -y -qq korvin4 >> "$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; fail "apt-get purge korvin4 failed"; }
installed=0
dpkg-query -W -f='${Status}' korvin4 2>/dev/null | grep -q "installed" && fail "korvin4 is still installed"
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] && fail "$path is left after the removal"
done < "$tmp/package-files.txt"
for folder in /usr/libexec/korvin4 /usr/share/korvin4 /usr/share/doc/korvin4; do
  [ -e "$folder" ] && fail "$folder is left after the removal"
done
check "purged: none of its files or folders is left"
echo "PASSED"
