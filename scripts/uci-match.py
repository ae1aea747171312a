#!/usr/bin/env python3
"""The match referee: plays UCI engines against each other.

The referee keeps the position with its own rules (chess_rules.py, written
apart from every engine), refuses illegal moves, ends games on checkmate,
stalemate, threefold repetition, the fifty-move rule and insufficient
material, and adjudicates only by the rules below. Every game goes to a PGN
file as it ends; a match given a PGN file that already holds games of the
same pairing goes on from there. Game n (its Round) plays opening (n-1)//2 of
the list, the first engine White when n is odd; --round plays that one game
alone, so several referees can share a pairing's PGN, each playing a
different round.

Time: each engine gets either a fixed "go" command (e.g. "movetime 100") with
a limit per move, or a clock (--time, --inc). A move loses on time when the
referee's wall time from sending go to reading bestmove exceeds the limit by
more than 50 ms + 10 % (with a clock: when the clock falls below zero by more
than 50 ms). A move without a limit (a depth search) may take 60 s.

Adjudication:
- resignation: for 4 moves in a row of each engine (8 plies) both engines'
  last scores say the same side is ahead by at least 1000 centipawns (a mate
  score counts); that side wins;
- draw: from ply 80 on, both engines' scores stay within 10 centipawns of 0
  for 8 plies in a row; and a game reaching the ply cap (--max-plies) is drawn.

An engine is given as one text: comma-separated key:value pairs, e.g.
  "name:Stockfish 1350,cmd:/usr/games/stockfish,option:UCI_LimitStrength=true,
   option:UCI_Elo=1350,go:movetime 100,limit:100"
(cmd may hold arguments separated by spaces; option may be given many times).
"""
import argparse
import datetime
import fcntl
import os
import platform
import re
import select
import shlex
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chess_rules import START_FEN, Position  # noqa: E402

RESIGN_CP, RESIGN_PLIES = 1000, 8
DRAW_CP, DRAW_PLIES, DRAW_FROM_PLY = 10, 8, 80
GRACE_MS, GRACE_SHARE = 50, 0.10
NO_LIMIT_WAIT_S = 60.0


class EngineSpec:
    def __init__(self, text):
        self.name, self.cmd, self.go, self.limit = None, None, None, None
        self.options = []
        for part in text.split(","):
            if ":" not in part:
                raise ValueError(f"engine field without key: {part!r}")
            key, value = part.split(":", 1)
            key = key.strip()
            if key == "name":
                self.name = value.strip()
            elif key == "cmd":
                self.cmd = shlex.split(value)
            elif key == "option":
                name, _, val = value.partition("=")
                self.options.append((name.strip(), val.strip()))
            elif key == "go":
                self.go = value.strip()
            elif key == "limit":
                self.limit = int(value)
            else:
                raise ValueError(f"unknown engine field {key!r}")
        if not self.cmd:
            raise ValueError(f"engine without cmd: {text!r}")
        self.name = self.name or os.path.basename(self.cmd[0])


class Engine:
    """One UCI process with line reads that give up at a deadline."""

    def __init__(self, spec, workdir):
        self.spec = spec
        self.name = spec.name
        self.proc = subprocess.Popen(spec.cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, cwd=workdir, bufsize=0)
        self.buffer = b""
        self.send("uci")
        self.wait_for("uciok", 30.0)
        for name, value in spec.options:
            self.send(f"setoption name {name} value {value}")
        self.sync()

    def send(self, line):
        try:
            self.proc.stdin.write((line + "\n").encode())
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError):
            pass  # seen as a missing answer

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

    def wait_for(self, prefix, seconds, on_line=None):
        deadline = time.monotonic() + seconds
        while True:
            line = self.read_line(deadline)
            if line is None:
                raise RuntimeError(f"{self.name}: no '{prefix}' (hang or crash)")
            if on_line:
                on_line(line)
            if line.startswith(prefix):
                return line

    def sync(self):
        self.send("isready")
        self.wait_for("readyok", 30.0)

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except Exception:
            self.proc.kill()
            self.proc.wait()
        return self.proc.returncode


def score_of(line, last):
    """The score in an info line in centipawns for the side to move (mates
    as +-100000), or `last` when the line has none."""
    m = re.search(r"\bscore (cp|mate) (-?\d+)", line)
    if not m or " lowerbound" in line or " upperbound" in line:
        return last
    value = int(m.group(2))
    if m.group(1) == "mate":
        return 100000 if value > 0 else -100000
    return value


def play_game(engines, opening, args, stats, white_index):
    """One game from `opening` (a list of moves); engines[white_index] has
    White. Returns (result text, termination, moves, per-engine max ms)."""
    for e in engines:
        e.send("ucinewgame")
        e.sync()
    pos = Position(START_FEN)
    moves = []
    for m in opening:
        if m not in pos.legal_moves():
            raise ValueError(f"opening move {m} is illegal")
        pos.play(m)
        moves.append(m)
    seen = {pos.repetition_key(): 1}
    clock = [args.time, args.time]
    white_scores = []  # each ply's score from White's view (None if unknown)
    max_ms = [0, 0]

    def loss(side_index, why):
        return ("0-1" if side_index == white_index else "1-0"), why

    while True:
        side = white_index if pos.white else 1 - white_index
        legal = pos.legal_moves()
        if not legal:
            if pos.in_check():
                result = loss(side, "checkmate")
            else:
                result = ("1/2-1/2", "stalemate")
            break
        if pos.halfmove >= 100:
            result = ("1/2-1/2", "fifty-move rule")
            break
        if pos.insufficient_material():
            result = ("1/2-1/2", "insufficient material")
            break
        if seen[pos.repetition_key()] >= 3:
            result = ("1/2-1/2", "threefold repetition")
            break
        if len(moves) >= args.max_plies:
            result = ("1/2-1/2", "adjudication: ply cap")
            break
        adjudged = adjudicate(white_scores, len(moves))
        if adjudged:
            result = adjudged
            break
        e = engines[side]
        e.send("position startpos moves " + " ".join(moves))
        if e.spec.go:
            go, limit = "go " + e.spec.go, e.spec.limit
        else:
            w, b = clock[white_index], clock[1 - white_index]
            go, limit = f"go wtime {w} btime {b} winc {args.inc} binc {args.inc}", None
        last = [None]

        def keep(line, last=last):
            if line.startswith("info"):
                last[0] = score_of(line, last[0])
        wait_s = NO_LIMIT_WAIT_S
        if limit is not None:
            wait_s = limit / 1000.0 * 3 + 10
        elif not e.spec.go:
            wait_s = max(clock[side], 0) / 1000.0 + 10
        e.sync()
        start = time.monotonic()
        e.send(go)
        try:
            line = e.wait_for("bestmove", wait_s, keep)
        except RuntimeError as err:
            stats["hangs"] += 1
            result = loss(side, f"{e.name} hung or crashed: {err}")
            break
        used = int((time.monotonic() - start) * 1000)
        max_ms[side] = max(max_ms[side], used)
        stats["moves"][side] += 1
        if limit is not None and used > limit + GRACE_MS + GRACE_SHARE * limit:
            stats["time_losses"] += 1
            result = loss(side, f"time forfeit: {e.name} took {used} ms for {limit} ms")
            break
        if not e.spec.go:
            clock[side] -= used
            if clock[side] < -GRACE_MS:
                stats["time_losses"] += 1
                result = loss(side, f"time forfeit: {e.name} overstepped the clock")
                break
            clock[side] += args.inc
        words = line.split()
        move = words[1] if len(words) > 1 else ""
        if move not in legal:
            stats["illegal"] += 1
            result = loss(side, f"illegal move: {e.name} played '{move}'")
            break
        s = last[0]
        white_scores.append(None if s is None else (s if pos.white else -s))
        pos.play(move)
        moves.append(move)
        key = pos.repetition_key()
        seen[key] = seen.get(key, 0) + 1
    return result[0], result[1], moves, max_ms


def adjudicate(white_scores, plies):
    """A result when both engines agree by the rules above, else None."""
    if len(white_scores) >= RESIGN_PLIES:
        tail = white_scores[-RESIGN_PLIES:]
        if all(s is not None and s >= RESIGN_CP for s in tail):
            return "1-0", "adjudication: both engines see White winning"
        if all(s is not None and s <= -RESIGN_CP for s in tail):
            return "0-1", "adjudication: both engines see Black winning"
    if plies >= DRAW_FROM_PLY and len(white_scores) >= DRAW_PLIES:
        if all(s is not None and abs(s) <= DRAW_CP for s in white_scores[-DRAW_PLIES:]):
            return "1/2-1/2", "adjudication: both engines see a draw"
    return None


def pgn_text(tags, moves, result):
    out = [f'[{k} "{v}"]' for k, v in tags]
    pos = Position(START_FEN)
    words = []
    for i, m in enumerate(moves):
        if pos.white:
            words.append(f"{pos.fullmove}.")
        words.append(pos.san(m))
        pos.play(m)
    words.append(result)
    lines, line = [], ""
    for w in words:
        if len(line) + len(w) + 1 > 79:
            lines.append(line)
            line = w
        else:
            line = f"{line} {w}" if line else w
    lines.append(line)
    return "\n".join(out) + "\n\n" + "\n".join(lines) + "\n\n"


def read_openings(path):
    openings = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for n, raw in enumerate(lines, 1):
        text = raw.split("#", 1)[0].strip()
        if not text:
            continue
        pos = Position(START_FEN)
        for m in text.split():
            if m not in pos.legal_moves():
                raise ValueError(f"{path}:{n}: move {m} is illegal")
            pos.play(m)
        openings.append(text.split())
    if not openings:
        raise ValueError(f"{path}: no openings")
    return openings


def rounds_in(pgn_path, pairing):
    """The rounds (numbers of the Round tags) already in `pgn_path` for this
    pairing, in the order they were written."""
    if not pgn_path or not os.path.exists(pgn_path):
        return []
    with open(pgn_path, encoding="utf-8") as f:
        fcntl.flock(f, fcntl.LOCK_SH)  # never half a game another referee is writing
        lines = f.read().splitlines()
    rounds = []
    tags = {}
    for line in lines:
        m = re.match(r'\[(\w+) "(.*)"\]', line)
        if m:
            tags[m.group(1)] = m.group(2)
        elif tags:
            if tags.get("Event") == pairing:
                r = tags.get("Round", "")
                rounds.append(int(r) if r.isdigit() else 0)
            tags = {}
    return rounds


def add_to_pgn(pgn_path, text):
    """Appends one game, locked against the other referees of the file, so
    that games written at the same moment never interleave."""
    with open(pgn_path, "a", encoding="utf-8") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        f.write(text)
        f.flush()
        os.fsync(f.fileno())


def machine_text():
    """The processor and the number of cores, for the PGN's Site tag."""
    model = platform.machine()
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores"


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--engine", action="append", required=True,
                   help="an engine (see above); give two, or one for self-play")
    p.add_argument("--games", type=int, default=20)
    p.add_argument("--round", type=int,
                   help="play only this game of the match (1 is the first), unless it is kept")
    p.add_argument("--openings", help="file of openings, one line of moves each")
    p.add_argument("--time", type=int, default=10000, help="clock per game, ms")
    p.add_argument("--inc", type=int, default=100, help="increment per move, ms")
    p.add_argument("--max-plies", type=int, default=400)
    p.add_argument("--workdir", default=".", help="engines' working directory")
    p.add_argument("--pgn", help="PGN file the games are added to (and resumed from)")
    p.add_argument("--event", help="name of the pairing in the PGN (default: the engines)")
    p.add_argument("--strict", action="store_true",
                   help="exit 1 on any illegal move, hang or time loss")
    args = p.parse_args()

    specs = [EngineSpec(t) for t in args.engine]
    if len(specs) == 1:
        specs.append(EngineSpec(args.engine[0]))
        specs[0].name += " A"
        specs[1].name += " B"
    if len(specs) != 2:
        p.error("give one or two engines")
    openings = read_openings(args.openings) if args.openings else [
        "e2e4 e7e5".split(), "d2d4 d7d5".split(), "c2c4 e7e5".split(), "g1f3 d7d5".split()]
    event = args.event or f"{specs[0].name} vs {specs[1].name}"
    kept = rounds_in(args.pgn, event)
    if args.round is not None:
        if args.round < 1:
            p.error("--round counts from 1")
        if args.round in kept:
            print(f"{event}: game {args.round} already played", flush=True)
            return 0
        todo = [args.round - 1]
        args.games = max(args.games, args.round)
    else:
        todo = [g for g in range(args.games) if g + 1 not in kept]
        if not todo:
            print(f"{event}: {len(kept)} games already played", flush=True)
            return 0
    engines = [Engine(s, args.workdir) for s in specs]
    stats = {"moves": [0, 0], "illegal": 0, "hangs": 0, "time_losses": 0}
    points = 0.0
    played = 0
    started = time.monotonic()
    site = machine_text()
    try:
        for g in todo:
            white = g % 2  # each opening with both colours in turn
            opening = openings[(g // 2) % len(openings)]
            result, why, moves, max_ms = play_game(engines, opening, args, stats, white)
            black = 1 - white
            first = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}[result]
            points += first if white == 0 else 1.0 - first
            tags = [("Event", event), ("Site", site),
                    ("Date", datetime.date.today().strftime("%Y.%m.%d")),
                    ("Round", str(g + 1)), ("White", engines[white].name),
                    ("Black", engines[black].name), ("Result", result),
                    ("Termination", why), ("Opening", " ".join(opening)),
                    ("WhiteMaxMs", str(max_ms[white])), ("BlackMaxMs", str(max_ms[black])),
                    ("PlyCount", str(len(moves)))]
            if args.pgn:
                add_to_pgn(args.pgn, pgn_text(tags, moves, result))
            played += 1
            print(f"{event}: game {g + 1}/{args.games}: {engines[white].name} - "
                  f"{engines[black].name} {result} ({why}); {engines[0].name} "
                  f"{points}/{played} this run, {time.monotonic() - started:.0f} s", flush=True)
            if any(e.proc.poll() is not None for e in engines):
                stats["hangs"] += 1
                break
    finally:
        codes = [e.close() for e in engines]
    print(f"{engines[0].name} {points} - {engines[1].name} "
          f"{played - points} over {played} games")
    print(f"moves {stats['moves']}, illegal {stats['illegal']}, hangs {stats['hangs']}, "
          f"time losses {stats['time_losses']}, exit codes {codes}")
    bad = stats["illegal"] or stats["hangs"] or stats["time_losses"] or any(codes)
    return 1 if args.strict and bad else 0


if __name__ == "__main__":
    sys.exit(main())
