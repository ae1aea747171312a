#!/usr/bin/env bash
# Runs korvin-cli commands and checks what they print and how they exit.
#   cli_test.sh CLI SOURCE-ROOT [--windows]
# --windows: the Windows build under Wine, where the host's symbolic links
# and named pipes are no Windows files; a device is named as Windows names it.
set -u
cli="$1"
root="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
windows="${3:-}"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all korvin-cli checks passed"
  exit 0
}

# expect_status STATUS MESSAGE-PATTERN ARGS... : exit status and stderr text.
expect_status() {
  local want="$1" pattern="$2"
  shift 2
  "$cli" "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" = "$want" ] || fail "korvin-cli $* exited $got, expected $want"
  if [ -n "$pattern" ] && ! grep -q -- "$pattern" err.txt; then
    fail "korvin-cli $*: stderr lacks '$pattern': $(cat err.txt)"
  fi
}

# Perft with divide: one line per legal root move, then the totals.
"$cli" perft 2 --divide >out.txt || fail "perft --divide failed"
[ "$(grep -c '^[a-h][1-8][a-h][1-8] 20$' out.txt)" = 20 ] || fail "perft 2 --divide lines"
grep -q '^nodes 400$' out.txt || fail "perft 2 total"
grep -q '^time_ms ' out.txt && grep -q '^nps ' out.txt || fail "perft timing lines"
"$cli" perft 3 --fen "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1" | grep -q '^nodes 2812$' ||
  fail "perft from a FEN"
"$cli" perft 1 --moves "e2e4 e7e5 g1f3" | grep -q '^nodes 29$' || fail "perft after moves"

# Bad input: a clear message and exit status 2.
expect_status 2 "rank 8" perft 1 --fen "rnbqkbnrr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
expect_status 2 "unknown piece letter" perft 1 --fen "rnbqkbnx/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"
expect_status 2 "exactly one king" perft 1 --fen "8/8/8/8/8/8/8/K7 w - - 0 1"
expect_status 2 "first or last rank" perft 1 --fen "P3k3/8/8/8/8/8/8/4K3 w - - 0 1"
expect_status 2 "home squares" perft 1 --fen "4k3/8/8/8/8/8/8/4K3 w K - 0 1"
expect_status 2 "e2e5" perft 1 --moves "e2e5"
expect_status 2 "xx" perft 1 --moves "e2e4 xx"
expect_status 2 "unknown option" perft 1 --frobnicate
expect_status 2 "" perft 99
expect_status 2 "unknown command" frobnicate
# Words outside ASCII reach the program, and its messages, whole.
expect_status 2 "'e2é4' is not a move" perft 1 --moves "e2é4"

# Evaluation of the worked examples.
[ "$("$cli" eval)" = "eval 0" ] || fail "eval of the start position"
[ "$("$cli" eval --moves e2e4)" = "eval 12" ] || fail "eval after 1.e4"

# The same search prints the same lines on every run.
"$cli" search --depth 6 --bonus zero --moves "e2e4 c7c5" >first.txt
"$cli" search --depth 6 --bonus zero --moves "e2e4 c7c5" >second.txt
cmp -s first.txt second.txt || fail "search --bonus zero is not reproducible"
[ "$(grep -c '^info depth' first.txt)" = 6 ] || fail "one info line per iteration"
grep -qE '^bestmove [a-h][1-8][a-h][1-8]$' first.txt || fail "search bestmove line"
"$cli" search --depth 3 --fen "7k/5KQ1/8/8/8/8/8/8 b - - 0 1" | grep -q '^bestmove 0000$' ||
  fail "bestmove 0000 without a legal move"

# One computer move, and the announcement of a mate.
"$cli" play --level 1 --fen "k7/8/1K6/8/8/8/8/2Q5 w - - 0 1" >out.txt
grep -q '^bestmove c1c8$' out.txt && grep -q '^result checkmate$' out.txt || fail "play mate"

# Selfplay finishes its games with legal moves only.
"$cli" selfplay --level 1 --games 2 --max-plies 60 --seed 4 >out.txt 2>err.txt ||
  fail "selfplay exited $?"
[ "$(grep -c '^game [12]:' out.txt)" = 2 ] || fail "selfplay game lines"

# The shipped book checks clean; a game file round-trips.
"$cli" book check "$root/assets/korvin.bok" >out.txt || fail "book check of the shipped book"
"$cli" game save g.kga --moves "e2e4 e7e5 g1f3" || fail "game save"
[ "$(stat -c %s g.kga)" = 21 ] || fail "game file size"
"$cli" game show g.kga | grep -q "g1f3" || fail "game show"
printf 'garbage' >bad.kga
expect_status 2 "" game show bad.kga
# A game without moves is refused; it would otherwise remove the file named.
echo precious >notes.txt
expect_status 2 "needs --moves with at least one move" game save notes.txt
expect_status 2 "needs --moves with at least one move" game save notes.txt --moves ""
[ "$(cat notes.txt)" = precious ] || fail "game save without moves changed notes.txt"
printf '[Event "empty"]\n*\n' >empty.pgn
expect_status 2 "has no moves" game import empty.pgn notes.txt
[ "$(cat notes.txt)" = precious ] || fail "importing a game without moves changed notes.txt"

# PGN both ways: standard output or a file, one game of several, refusals
# that name the game, the move number and the move, and no file left behind.
"$cli" game save p.kga --moves "e2e4 d7d5 e4d5 g8f6 d5d6 f6e4 d6c7 e4f2 c7b8n" --black || fail "game save p"
"$cli" game pgn p.kga >p.out || fail "game pgn to stdout"
grep -q '^\[White "Korvin 4"\]$' p.out && grep -q '^\[Black "Human"\]$' p.out || fail "pgn names"
grep -q '^1\. e4 d5 2\. exd5 Nf6 3\. d6 Ne4 4\. dxc7 Nxf2 5\. cxb8=N \*$' p.out || fail "pgn movetext: $(cat p.out)"
"$cli" game pgn p.kga --out p.pgn | grep -q "wrote 9 half-moves" || fail "game pgn --out"
cmp -s p.out p.pgn || fail "pgn to stdout and to a file differ"
if [ "$windows" != --windows ]; then
# Written through a symbolic link: the link stays, its target gets the game.
echo old >real.pgn
ln -s real.pgn link.pgn
"$cli" game pgn p.kga --out link.pgn >/dev/null || fail "game pgn --out through a link"
[ -L link.pgn ] || fail "the link was replaced by a file"
cmp -s p.out real.pgn || fail "the link's target does not hold the game"
ln -s missing-folder/x.pgn dangling.pgn
expect_status 2 "" game pgn p.kga --out dangling.pgn
[ -L dangling.pgn ] || fail "a dangling link was removed"
fi
{ cat p.pgn; printf '[Event "second"]\n1. d4 d5 2. c4 *\n'; } >two.pgn
"$cli" game import two.pgn p2.kga | grep -q "imported game 1 of 2 (9 half-moves)" || fail "game import"
cmp -s p.kga p2.kga || fail "kga -> pgn -> kga differs"
"$cli" game import two.pgn d4.kga --game 2 >/dev/null || fail "game import --game 2"
"$cli" game show d4.kga | grep -q "^moves d2d4 d7d5 c2c4$" || fail "second game's moves"
printf '1. e4 e5 2. Ke3 *\n' >bad.pgn
expect_status 2 'game 1, move 2\. Ke3: not a legal move' game import bad.pgn out.kga
[ -e out.kga ] && fail "a refused import left a game file"
expect_status 2 "there is no game 3" game import two.pgn out.kga --game 3
expect_status 2 "" game import two.pgn out.kga --game 0
expect_status 2 "file not found" game import missing.pgn out.kga
expect_status 2 "only game pgn takes --out" game show p.kga --out x.pgn
# Files that are not regular files are refused at once, never waited on.
if [ "$windows" = --windows ]; then
  expect_status 2 "not a regular file (a device)" book check NUL
  expect_status 2 "not a regular file (a device)" game show NUL
else
  mkfifo pipe.kga pipe.bok pipe.txt
  expect_status 2 "not a regular file (a named pipe)" game show pipe.kga
  expect_status 2 "not a regular file (a named pipe)" book check pipe.bok
  expect_status 2 "not a regular file (a named pipe)" book build pipe.txt out.bok
  expect_status 2 "not a regular file (a device)" book check /dev/zero
fi

finish
