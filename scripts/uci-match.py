#!/usr/bin/env python3
"""A small self-play match between two korvin-uci processes.

The referee keeps both clocks (wall time from sending "go" to reading
"bestmove"), checks every move against the legal moves that korvin-cli lists
for the position, and ends a game on checkmate, stalemate, threefold
repetition, the fifty-move rule, insufficient material or a ply cap. It
reports every game and the totals; with --strict it exits 1 when any move was
illegal, any engine crashed or hung, or any side lost on time.
"""
import argparse
import os
import select
import subprocess
import sys
import time

OPENINGS = [
    "e2e4 e7e5", "d2d4 d7d5", "e2e4 c7c5", "d2d4 g8f6", "c2c4 e7e5",
    "g1f3 d7d5", "e2e4 e7e6", "e2e4 c7c6", "d2d4 f7f5", "b1c3 d7d5",
]


class Engine:
    """One korvin-uci process with line reads that give up at a deadline."""

    def __init__(self, path, name, workdir, options):
        self.name = name
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     cwd=workdir, bufsize=0)
        self.buffer = b""
        self.send("uci")
        self.wait_for("uciok", 10.0)
        for opt in options:
            self.send("setoption " + opt)
        self.send("isready")
        self.wait_for("readyok", 10.0)

    def send(self, line):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()

    def read_line(self, deadline):
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if not ready:
                continue
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                return None  # the process ended
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode(errors="replace").strip()

    def wait_for(self, prefix, seconds):
        deadline = time.monotonic() + seconds
        while True:
            line = self.read_line(deadline)
            if line is None:
                raise RuntimeError(f"{self.name}: no '{prefix}' (hang or crash)")
            if line.startswith(prefix):
                return line

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except Exception:
            self.proc.kill()
            self.proc.wait()
        return self.proc.returncode


class Board:
    """Enough of the rules to track the position for the draw tests."""

    def __init__(self):
        rows = ["rnbqkbnr", "pppppppp", "........", "........",
                "........", "........", "PPPPPPPP", "RNBQKBNR"]
        # sq[rank][file], rank 0 = rank 1
        self.sq = [list(rows[7 - r]) for r in range(8)]
        self.white = True
        self.castling = set("KQkq")
        self.ep = None
        self.halfmove = 0

    def key(self):
        return ("".join("".join(r) for r in self.sq), self.white,
                "".join(sorted(self.castling)), self.ep)

    def play(self, move):
        f1, r1, f2, r2 = ord(move[0]) - 97, int(move[1]) - 1, ord(move[2]) - 97, int(move[3]) - 1
        piece = self.sq[r1][f1]
        target = self.sq[r2][f2]
        self.halfmove = 0 if piece in "Pp" or target != "." else self.halfmove + 1
        if piece in "Pp" and f1 != f2 and target == ".":  # en passant
            self.sq[r1][f2] = "."
        if piece in "Kk" and abs(f2 - f1) == 2:  # castling: move the rook too
            rf, rt = (7, 5) if f2 > f1 else (0, 3)
            self.sq[r1][rt], self.sq[r1][rf] = self.sq[r1][rf], "."
        self.sq[r2][f2], self.sq[r1][f1] = piece, "."
        if piece in "Pp" and r2 in (0, 7):
            letter = move[4] if len(move) > 4 else "q"
            self.sq[r2][f2] = letter.upper() if piece == "P" else letter.lower()
        for (f, r), rights in (((4, 0), "KQ"), ((7, 0), "K"), ((0, 0), "Q"),
                               ((4, 7), "kq"), ((7, 7), "k"), ((0, 7), "q")):
            if (f1, r1) == (f, r) or (f2, r2) == (f, r):
                self.castling -= set(rights)
        self.ep = (f1, (r1 + r2) // 2) if piece in "Pp" and abs(r2 - r1) == 2 else None
        self.white = not self.white

    def attacked(self, f, r, by_white):
        """True when square (f, r) is attacked by the given side."""
        def at(ff, rr):
            return self.sq[rr][ff] if 0 <= ff < 8 and 0 <= rr < 8 else None
        pawn, knight, bishop, rook, queen, king = "PNBRQK" if by_white else "pnbrqk"
        d = -1 if by_white else 1
        if at(f - 1, r + d) == pawn or at(f + 1, r + d) == pawn:
            return True
        for df, dr in ((1, 2), (2, 1), (-1, 2), (-2, 1), (1, -2), (2, -1), (-1, -2), (-2, -1)):
            if at(f + df, r + dr) == knight:
                return True
        for df in (-1, 0, 1):
            for dr in (-1, 0, 1):
                if (df or dr) and at(f + df, r + dr) == king:
                    return True
        for dirs, sliders in ((((1, 1), (1, -1), (-1, 1), (-1, -1)), (bishop, queen)),
                              (((1, 0), (-1, 0), (0, 1), (0, -1)), (rook, queen))):
            for df, dr in dirs:
                ff, rr = f + df, r + dr
                while at(ff, rr) == ".":
                    ff, rr = ff + df, rr + dr
                if at(ff, rr) in sliders:
                    return True
        return False

    def in_check(self):
        king = "K" if self.white else "k"
        for r in range(8):
            for f in range(8):
                if self.sq[r][f] == king:
                    return self.attacked(f, r, not self.white)
        return False

    def insufficient(self):
        pieces = [p for row in self.sq for p in row if p != "."]
        if any(p in "PpRrQq" for p in pieces):
            return False
        return sum(p in "NB" for p in pieces) <= 1 and sum(p in "nb" for p in pieces) <= 1


def legal_moves(cli, moves):
    out = subprocess.run([cli, "perft", "1", "--divide", "--seed", "1", "--moves", " ".join(moves)],
                         capture_output=True, text=True, timeout=60)
    if out.returncode != 0:
        raise RuntimeError("korvin-cli refused the game so far: " + out.stderr.strip())
    return {line.split()[0] for line in out.stdout.splitlines()
            if line and not line.startswith(("nodes", "time_ms", "nps"))}


def play_game(engines, white_index, opening, args, stats):
    """Plays one game; returns (result for engine 0 as 1/0.5/0, reason)."""
    for e in engines:
        e.send("ucinewgame")
        e.send("isready")
        e.wait_for("readyok", 10.0)
    board = Board()
    moves = []
    seen = {}
    for m in opening.split():
        board.play(m)
        moves.append(m)
    seen[board.key()] = 1
    clock = [args.time, args.time]  # per engine index, ms
    while True:
        side_engine = white_index if board.white else 1 - white_index
        legal = legal_moves(args.cli, moves)
        if not legal:
            if board.in_check():
                return (0.0 if side_engine == 0 else 1.0), "checkmate"
            return 0.5, "stalemate"
        if board.halfmove >= 100:
            return 0.5, "fifty-move rule"
        if board.insufficient():
            return 0.5, "insufficient material"
        if seen[board.key()] >= 3:
            return 0.5, "threefold repetition"
        if len(moves) >= args.max_plies:
            return 0.5, "ply cap"
        e = engines[side_engine]
        w = clock[white_index]
        b = clock[1 - white_index]
        e.send("position startpos moves " + " ".join(moves))
        start = time.monotonic()
        e.send(f"go wtime {w} btime {b} winc {args.inc} binc {args.inc}")
        try:
            line = e.wait_for("bestmove", clock[side_engine] / 1000.0 + 5.0)
        except RuntimeError as err:
            stats["crashes"] += 1
            return (0.0 if side_engine == 0 else 1.0), str(err)
        used = int((time.monotonic() - start) * 1000)
        stats["moves"] += 1
        stats["max_move_ms"] = max(stats["max_move_ms"], used)
        clock[side_engine] -= used
        stats["min_clock_ms"] = min(stats["min_clock_ms"], clock[side_engine])
        if clock[side_engine] < 0:
            stats["time_losses"] += 1
            return (0.0 if side_engine == 0 else 1.0), f"{e.name} lost on time"
        clock[side_engine] += args.inc
        move = line.split()[1] if len(line.split()) > 1 else ""
        if move not in legal:
            stats["illegal"] += 1
            return (0.0 if side_engine == 0 else 1.0), f"{e.name} played illegal move '{move}'"
        board.play(move)
        moves.append(move)
        seen[board.key()] = seen.get(board.key(), 0) + 1


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--engine", required=True, help="path of korvin-uci")
    p.add_argument("--cli", required=True, help="path of korvin-cli (legal moves)")
    p.add_argument("--games", type=int, default=20)
    p.add_argument("--time", type=int, default=10000, help="clock per game, ms")
    p.add_argument("--inc", type=int, default=100, help="increment per move, ms")
    p.add_argument("--max-plies", type=int, default=400)
    p.add_argument("--workdir", default=".", help="engines' working directory (book)")
    p.add_argument("--option", action="append", default=[],
                   help='extra setoption text, e.g. "name Move Overhead value 50"')
    p.add_argument("--strict", action="store_true", help="exit 1 on any fault")
    args = p.parse_args()

    engines = [Engine(args.engine, "A", args.workdir, args.option),
               Engine(args.engine, "B", args.workdir, args.option)]
    stats = {"moves": 0, "illegal": 0, "crashes": 0, "time_losses": 0,
             "max_move_ms": 0, "min_clock_ms": args.time}
    score = 0.0
    reasons = {}
    started = time.monotonic()
    try:
        for g in range(args.games):
            white = g % 2
            opening = OPENINGS[(g // 2) % len(OPENINGS)]
            result, reason = play_game(engines, white, opening, args, stats)
            score += result
            reasons[reason] = reasons.get(reason, 0) + 1
            white_name = engines[white].name
            print(f"game {g + 1}: white {white_name}, opening {opening}: "
                  f"A scores {result} ({reason})", flush=True)
            if any(e.proc.poll() is not None for e in engines):
                stats["crashes"] += 1
                break
    finally:
        codes = [e.close() for e in engines]
    print(f"A {score} - B {args.games - score} over {args.games} games "
          f"in {time.monotonic() - started:.0f} s")
    print("endings: " + ", ".join(f"{k} {v}" for k, v in sorted(reasons.items())))
    print(f"moves {stats['moves']}, illegal {stats['illegal']}, crashes/hangs {stats['crashes']}, "
          f"time losses {stats['time_losses']}, longest move {stats['max_move_ms']} ms, "
          f"lowest clock {stats['min_clock_ms']} ms, exit codes {codes}")
    bad = stats["illegal"] or stats["crashes"] or stats["time_losses"] or any(codes)
    return 1 if args.strict and bad else 0


if __name__ == "__main__":
    sys.exit(main())
