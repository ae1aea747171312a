# Shared part of the installer's and Open With's tests under Wine: Xvfb with
# openbox (tests/e2e/e2e_common.sh), and a fresh Wine prefix of the test's
# own, made with wineboot in the work folder and ended with the test.
# Source it after setting wine64, wineserver and work; it sets WINEPREFIX.
# Exits with 77 (skipped) when Wine, Xvfb or openbox are missing.
here_windows="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ -x "$wine64" ] || { echo "SKIPPED: no wine64 at $wine64"; exit 77; }
[ -x "$wineserver" ] || { echo "SKIPPED: no wineserver at $wineserver"; exit 77; }
program="$wine64"
assets=""
source "$here_windows/../e2e/e2e_common.sh"
start_window_manager "$work.openbox.log"

# Wine quiet, without offers to install Mono or Gecko, and without its menu
# builder, which would put the shortcuts and file types into the host's
# desktop.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LC_ALL=C.UTF-8 \
  WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
end_wine() { "$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; }
trap 'end_wine; cleanup' EXIT

# A fresh prefix: what a new Windows user has.
make_prefix() {
  rm -rf "$WINEPREFIX"
  DISPLAY= "$wine64" wineboot --init > "$work/wineboot.log" 2>&1 || fail "wineboot failed"
  "$wineserver" -w
  [ -f "$WINEPREFIX/system.reg" ] || fail "no Wine prefix was made"
  local users
  users=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local 2>/dev/null | grep -v /Public/ | head -1)
  [ -n "$users" ] || fail "the Wine prefix has no user folder"
  user_home=$(dirname "$(dirname "$users")")
  local_app_data="$users"
}

# The Windows name of a Linux path (Wine's Z: drive is the root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# A registry value's data, as `wine reg query` prints it ("" when missing).
reg_value() {
  local key="$1" value="$2" line
  if [ -z "$value" ]; then
    line=$("$wine64" reg query "$key" /ve 2>/dev/null | tr -d '\r' | grep -E '^\s+\(Default\)')
  else
    line=$("$wine64" reg query "$key" /v "$value" 2>/dev/null | tr -d '\r' | grep -E "^\s+$value\s")
  fi
  # Wine prints a default value that is not set as "(value not set)".
  sed -E 's/^\s+\S+(\s\S+)?\s+REG_[A-Z_]+\s*//; s/^\(value not set\)$//' <<<"$line"
}
reg_has_key() { "$wine64" reg query "$1" > /dev/null 2>&1; }

# Waits up to 10 s until the kept game $1 holds the moves $2.
wait_kept() {
  local kept=""
  for _ in $(seq 100); do
    kept=$(game_moves "$1" 2>/dev/null)
    [ "$kept" = "$2" ] && return 0
    sleep 0.1
  done
  echo "kept game: '$kept'"
  return 1
}
# Waits up to 10 s for process $1 to end; its exit status.
wait_process() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && return 124
  wait "$1"
}
# Whether key $1 has a value named $2.
reg_has_value() { "$wine64" reg query "$1" 2>/dev/null | tr -d '\r' | grep -qE "^\s+$2\s+REG_"; }
