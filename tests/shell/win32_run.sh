#!/usr/bin/env bash
# Runs a Windows test program of the platform under Wine, on a private X
# server with a window manager (openbox), in a Wine prefix of the build's own:
#
#   win32_run.sh PROGRAM.exe PREFIX [--no-window-manager] [--dpi N] [ARGUMENTS...]
#
# --no-window-manager: for the tests of window states, which a window
# manager under Wine answers later, on its own time. --dpi N: the screen's
# resolution (192 is a scale of 200 %), set when the prefix is made, so give
# each resolution a prefix of its own.
# A fresh prefix is set up first (Wine's first start takes a while; that is
# done here, before the program runs, outside any test's assertions). Exits
# with the program's status, or 77 (skipped) where Wine or Xvfb is missing.
set -u

program="$1" prefix="$2" manager=openbox
shift 2
dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --no-window-manager) manager=""; shift ;;
    --dpi) dpi="$2"; shift 2 ;;
    *) break ;;
  esac
done
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../../scripts/xvfb.sh
. "$here/../../scripts/xvfb.sh"

for tool in wine wineserver wineboot Xvfb openbox; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$prefix"
log="$(mktemp -d)"
wm_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$wm_pid" ]; then
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
  fi
  xvfb_stop
  rm -rf "$log"
}
trap cleanup EXIT

xvfb_start --ready socket --log "$log/xvfb.log" 141 180 1280x1024x24 ||
  { echo "skipped: $xvfb_why"; exit 77; }
if [ -n "$manager" ]; then
  openbox > "$log/openbox.log" 2>&1 &
  wm_pid=$!
  # The window manager is up once it has marked the root window as managed.
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi

if [ ! -f "$prefix/system.reg" ]; then
  echo "setting up the Wine prefix $prefix"
  wineboot --init > "$log/wineboot.log" 2>&1
  wineserver -w
  if [ -n "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >> "$log/wineboot.log" 2>&1
    wineserver -w
  fi
fi

wine "$program" "$@"
status=$?
wineserver -w
exit "$status"
