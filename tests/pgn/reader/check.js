// Reads every DIR/game-N.pgn with chess.js and compares it with
// DIR/game-N.moves (the game's moves in coordinate notation, "e7e8n" for a
// promotion): the same moves, the same standard algebraic names, and a
// result that agrees with checkmate and stalemate.
'use strict';
const fs = require('fs');
const path = require('path');
const { Chess } = require('chess.js');

const dir = process.argv[2];
let passed = 0;
let failed = 0;

function check(name) {
  const pgn = fs.readFileSync(path.join(dir, name + '.pgn'), 'utf8');
  const expected = fs.readFileSync(path.join(dir, name + '.moves'), 'utf8').trim().split(/\s+/);
  const chess = new Chess();
  chess.loadPgn(pgn, { strict: true });
  const history = chess.history({ verbose: true });
  const moves = history.map((m) => m.from + m.to + (m.promotion || ''));
  if (moves.join(' ') !== expected.join(' ')) throw new Error('moves differ:\n' + moves.join(' ') + '\n' + expected.join(' '));
  const movetext = pgn.slice(pgn.lastIndexOf(']') + 1).split(/\s+/).filter((w) => w && !/^\d+\.$/.test(w));
  const result = movetext.pop();
  const names = history.map((m) => m.san);
  if (movetext.join(' ') !== names.join(' ')) throw new Error('names differ:\n' + movetext.join(' ') + '\n' + names.join(' '));
  if (chess.getHeaders().Result !== result) throw new Error('Result tag ' + chess.getHeaders().Result + ' but movetext ends ' + result);
  if (chess.isCheckmate() && result !== (chess.turn() === 'w' ? '0-1' : '1-0')) throw new Error('checkmate but ' + result);
  if (chess.isStalemate() && result !== '1/2-1/2') throw new Error('stalemate but ' + result);
  if (result === '*' && (chess.isCheckmate() || chess.isStalemate())) throw new Error('game over but *');
}

for (const file of fs.readdirSync(dir).filter((f) => f.endsWith('.pgn')).sort()) {
  const name = file.slice(0, -4);
  try {
    check(name);
    passed++;
  } catch (e) {
    failed++;
    console.log('FAIL ' + name + ': ' + e.message);
  }
}
console.log(passed + ' passed, ' + failed + ' failed');
process.exit(failed === 0 && passed > 0 ? 0 : 1);
