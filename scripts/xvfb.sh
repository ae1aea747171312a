# shellcheck shell=bash
# shellcheck disable=SC2034  # xvfb_display and xvfb_why are read by the caller
# A private X server (Xvfb) for the scripts that start the window program
# without a desktop. Source it, then:
#
#   xvfb_start [--tries N] [--ready answers|socket] [--log FILE] FIRST LAST SCREEN
#
# takes the display numbers FIRST..LAST in turn, leaving out those another X
# server holds (a lock file or a socket in /tmp), and starts
# `Xvfb :N -screen 0 SCREEN -nolisten tcp -noreset` (SCREEN as 1280x1024x24)
# with its output in FILE (default /dev/null). The server does not reset when
# its last client goes away (a killed program, an xdotool call): a client
# that connects while a server resets is refused. It waits up to 5 s for
# the server: "answers" (the default) until xdotool reaches it, "socket"
# until its socket is there (needs no xdotool), in both cases only while the
# Xvfb it started still runs, so that a server another script started on the
# same number meanwhile is never taken for its own. A server that ends or
# does not answer in time is stopped and the next free number is tried, at
# most N numbers (default: all of them).
#
# Returns 0 with DISPLAY exported, xvfb_display set to ":N" and xvfb_pid to
# the server's process. Returns 1 with the reason in xvfb_why ("no free X
# display number", "Xvfb could not start on :N", "Xvfb did not answer on
# :N"); what then happens is the caller's to say: skip the test (exit 77),
# fail, or end with its own message. Call it as `xvfb_start ... || ...`, in
# the script's own shell (not in $(...)), so that xvfb_pid stays known.
#
#   xvfb_stop
#
# ends the server and waits for it; nothing when none runs, and it never
# fails. The caller's exit clean-up calls it, after it has ended whatever
# runs on the display.

xvfb_pid="" xvfb_display="" xvfb_why=""

# Whether our server on display number $1 is up, in the way $2 says.
_xvfb_ready() {
  kill -0 "$xvfb_pid" 2>/dev/null || return 1
  case "$2" in
    socket) [ -e "/tmp/.X11-unix/X$1" ] ;;
    *) xdotool getdisplaygeometry >/dev/null 2>&1 ;;
  esac
}

xvfb_start() {
  local tries=0 ready=answers log=/dev/null
  while [ $# -gt 0 ]; do
    case "$1" in
      --tries) tries="$2"; shift 2 ;;
      --ready) ready="$2"; shift 2 ;;
      --log) log="$2"; shift 2 ;;
      *) break ;;
    esac
  done
  local first="$1" last="$2" screen="$3" n tried=0
  xvfb_why="no free X display number"
  for n in $(seq "$first" "$last"); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset > "$log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      _xvfb_ready "$n" "$ready" && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if _xvfb_ready "$n" "$ready"; then
      xvfb_display=":$n" xvfb_why=""
      return 0
    fi
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      xvfb_why="Xvfb did not answer on :$n"
    else
      xvfb_why="Xvfb could not start on :$n"
    fi
    xvfb_stop   # taken meanwhile, or Xvfb cannot run here
    tried=$((tried + 1))
    if [ "$tries" -gt 0 ] && [ "$tried" -ge "$tries" ]; then break; fi
  done
  return 1
}

xvfb_stop() {
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  xvfb_pid="" xvfb_display=""
  return 0
}
