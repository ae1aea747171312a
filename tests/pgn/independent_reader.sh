#!/usr/bin/env bash
# The tool's PGN of random games, read by an independent PGN library
# (chess.js, installed from the npm registry into the build tree), gives the
# same moves under the same names; importing the PGN gives back the same
# game file. Skipped (77) without node and npm or when the registry cannot
# be reached.
#   independent_reader.sh KORVIN_CLI RANDOM_GAMES READER_DIR NPM_DIR
set -u
cli=$1 generate=$2 reader=$3 npm_dir=$4

command -v node >/dev/null && command -v npm >/dev/null || { echo "SKIPPED: node or npm missing"; exit 77; }
mkdir -p "$npm_dir" || exit 1
if ! cmp -s "$reader/package-lock.json" "$npm_dir/package-lock.json" ||
   [ ! -f "$npm_dir/node_modules/chess.js/package.json" ]; then
  cp "$reader/package.json" "$reader/package-lock.json" "$npm_dir/" || exit 1
  if ! (cd "$npm_dir" && timeout 180 npm ci --no-audit --no-fund --loglevel=error); then
    rm -f "$npm_dir/package-lock.json"
    echo "SKIPPED: chess.js could not be installed from the npm registry"
    exit 77
  fi
fi

work=$(mktemp -d) || exit 1
trap 'rm -rf -- "$work"' EXIT
"$generate" "$work" 60 20240517 || { echo "FAILED: random_games"; exit 1; }
status=0
for kga in "$work"/game-*.kga; do
  base=${kga%.kga}
  "$cli" game pgn "$kga" --out "$base.pgn" >/dev/null || { echo "FAILED: game pgn $kga"; status=1; continue; }
  "$cli" game show "$kga" | sed -n 's/^moves //p' >"$base.moves"
  "$cli" game import "$base.pgn" "$base.again" >/dev/null || { echo "FAILED: game import $base.pgn"; status=1; continue; }
  cmp -s "$kga" "$base.again" || { echo "FAILED: $base.pgn imports to other bytes"; status=1; }
done
NODE_PATH="$npm_dir/node_modules" node "$reader/check.js" "$work" || status=1
exit $status
