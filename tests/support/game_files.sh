# Shell helpers of the tests that look at the program's own files: writing
# a settings file, and reading a game file's moves. Source it.

# korvin.cfg: x y width height humanPlaysBlack level hideWelcome, as seven
# little-endian 32-bit integers.
write_config() {
  local v
  : >korvin.cfg
  for v in "$@"; do
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) \
      $((v >> 24 & 255)))" >>korvin.cfg
  done
}
# The half-moves of a game file as "e2e4 e7e5 ...".
game_moves() {
  od -An -tu1 -v "$1" | tr -s ' ' '\n' | grep -v '^$' | awk '
    { b[NR - 1] = $1 }
    END {
      for (i = 0; i + 6 < NR; i += 7) {
        f = b[i] - 22; t = b[i + 1] - 22
        printf "%s%c%d%c%d", (i ? " " : ""), 97 + f % 10, int(f / 10) + 1, 97 + t % 10, int(t / 10) + 1
      }
      print ""
    }'
}
