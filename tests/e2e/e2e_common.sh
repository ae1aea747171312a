# Shared harness of the end-to-end tests of korvin4 under Xvfb: a private X
# server, window look-ups and mouse clicks with xdotool, screenshots.
# Source it after setting `program` (the korvin4 binary); it sets DISPLAY.
# Exits with 77 (skipped) when no X server can be started.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../../scripts/xvfb.sh"
. "$here/../support/game_files.sh"
# A sanitizer build reports leaks of the system libraries Qt loads: not ours.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

for tool in Xvfb xdotool xwd xwininfo convert; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

program_pid="" wm_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  xvfb_stop
  wait 2>/dev/null
}
trap cleanup EXIT

# The first free display number from :91 on; the test is skipped when the
# server there does not come up.
xvfb_start --tries 1 91 140 1280x1024x24 || skip "$xvfb_why"

# A window manager on the display, as on a desktop: frames, focus, stacking
# and transient dialogs. Skips the test when openbox is missing.
start_window_manager() {
  command -v openbox >/dev/null || skip "openbox is not installed"
  openbox --sm-disable > "${1:-/dev/null}" 2>&1 &
  wm_pid=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  fail "openbox did not start"
}
# The window that has the keyboard, as the window manager says.
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'; }
# Waits until window $1 has the keyboard, as the window manager says (and
# the X server: the keys go to it); fails naming $2 if it does not.
expect_active() {
  for _ in $(seq 30); do
    [ "$(( $(active_window) ))" = "$1" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$2 does not have the keyboard (active: $(active_window), focus: $(xdotool getwindowfocus 2>/dev/null))"
}

# A fresh work folder with the shipped files; the caller changes into it.
fresh_work_folder() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$assets"/* "$1"/
}
# A fresh work folder $work/NAME with a home of its own, made current.
prepare() {
  fresh_work_folder "$work/$1"
  cd "$work/$1" || fail "no work folder"
  mkdir -p home
  export HOME="$work/$1/home"
}

# Waits for a window with the given name and size; prints its id.
wait_window() {
  local size="$1" name="${2:-Korvin 4}"
  for _ in $(seq 100); do
    for id in $(xdotool search --name "^$name\$" 2>/dev/null); do
      if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $size"; then
        echo "$id"; return 0
      fi
    done
    sleep 0.1
  done
  return 1
}
# Waits for a message window ("Korvin 4", but not the board window $1);
# prints its id.
wait_message() {
  local id
  for _ in $(seq 100); do
    for id in $(xdotool search --name '^Korvin 4$' 2>/dev/null); do
      [ "$id" != "${1:-}" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' &&
        { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
# Position of a window's client area into WX, WY. (xwininfo, because
# xdotool counts a window manager's frame twice.)
window_origin() {
  local info
  info=$(xwininfo -id "$1")
  WX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  WY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
}
click_at() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool click "${3:-1}"; sleep 0.3; }
screenshot() { xwd -root -silent > "$1.xwd" && convert "$1.xwd" "$1.png" && rm -f "$1.xwd"; }
# Colour of one screen pixel of a screenshot.
pixel() { convert "$1.png" -crop "1x1+$2+$3" -format '%[pixel:p{0,0}]' info:; }
# Waits up to 10 s for korvin4 to end; fails unless its exit status is $1.
wait_exit() {
  local want="${1:-0}"
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "korvin4 did not end after the close request"
  wait "$program_pid"; local status=$?
  program_pid=""
  [ "$status" -eq "$want" ] || fail "korvin4 ended with status $status, expected $want"
}
# Milliseconds since the epoch.
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits until the window is gone; prints the milliseconds since $2.
wait_window_gone() {
  local id="$1" since="$2"
  for _ in $(seq 1000); do
    xdotool getwindowgeometry "$id" >/dev/null 2>&1 || { echo $(($(now_ms) - since)); return 0; }
    sleep 0.01
  done
  return 1
}
