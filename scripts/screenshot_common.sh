# What the two screenshot scripts (make-screenshot.sh for Linux,
# screenshot-wine.sh for Windows) share, so that both pictures show the same
# game in the same window. Source it after setting `here` (the tree's root).

# screenshot_paths DEFAULT-BUILD DEFAULT-OUTPUT [BUILD-DIR] [OUTPUT]: sets
# `build` (absolute) and `output` from the script's arguments.
screenshot_paths() {
  build="${3:-$1}"
  case "$build" in /*) ;; *) build="$here/$build" ;; esac
  output="${4:-$here/$2}"
}

# The game in progress: a Ruy Lopez after Black castled.
screenshot_moves="e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7 f1e1 b7b5 a4b3 d7d6 c2c3 e8g8"

# screenshot_settings X Y: the bytes of a korvin.cfg for a 400 x 400 window
# at (X, Y) (each below 256), the human with White, the first level, the
# welcome off.
screenshot_settings() {
  printf "$(printf '\\%03o' "$1")\000\000\000$(printf '\\%03o' "$2")\000\000\000"
  printf '\220\001\000\000\220\001\000\000\000\000\000\000\001\000\000\000\001\000\000\000'
}

# screenshot_window NAME SIZE: waits for a window named NAME of SIZE
# ("400x400"); prints its id, or fails after 20 s.
screenshot_window() {
  for _ in $(seq 200); do
    for id in $(xdotool search --name "^$1\$" 2> /dev/null); do
      xdotool getwindowgeometry "$id" 2> /dev/null | grep -q "Geometry: $2" && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
