#!/usr/bin/env python3
"""Measures the rating of each playing level in matches through korvin-uci.

Each level plays, at its own time per move, against Debian's stockfish held
to a rating with UCI_LimitStrength/UCI_Elo (the scale of the table), and,
below stockfish's lowest setting, against fairy-stockfish at low skill
levels, whose own ratings are first measured: skill 0 against stockfish at
UCI_Elo 1350, a weaker skill against skill 0.
Games start from bench/strength/openings.txt, each opening once with each
colour; scripts/uci-match.py referees them.

Every pairing keeps its games in results/<pairing>.pgn.xz; a run goes on from
the games already there (FRESH=1 drops them first), so levels can be run one
at a time (`make strength LEVELS=3`). At the end the ratings are written to
results/summary.txt and to the table in the top-level README.
"""
import argparse
import concurrent.futures
import datetime
import lzma
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RESULTS = os.path.join(HERE, "results")
STOCKFISH = "/usr/games/stockfish"
FAIRY = "/usr/games/fairy-stockfish"

LEVELS = {  # level: (name, korvin's time per move in ms or None for one ply, opponents' ms)
    1: ("Novice", None, 100),
    2: ("Intermediate", 100, 100),
    3: ("Advanced", 1000, 1000),
    4: ("Expert", 10000, 10000),
}
LEVEL_TIME_TEXT = {1: "one ply", 2: "0.1 s", 3: "1 s", 4: "10 s"}

# The opponents of each level and the games against each. Stockfish's
# settings are the scale; fairy-stockfish's skill levels are measured first.
PLAN = {
    1: [("stockfish", 1350, 50), ("fairy", 0, 50), ("fairy", -3, 50)],
    2: [("stockfish", 1350, 50), ("stockfish", 1600, 50), ("stockfish", 1900, 50)],
    3: [("stockfish", 1600, 30), ("stockfish", 1900, 50), ("stockfish", 2200, 20)],
    4: [("stockfish", 1900, 10), ("stockfish", 2200, 10)],
}
CALIBRATION_GAMES = 100
CALIBRATION_MS = 100        # fairy-stockfish is measured at the time it plays at
# Each fairy-stockfish skill level and the opponent it is measured against:
# skill 0 against stockfish's lowest setting, and skill -3, which scores too
# little against stockfish to be measured there, against skill 0.
CALIBRATION_ANCHOR = {0: ("stockfish", 1350), -3: ("fairy", 0)}


def opponent_spec(kind, setting, ms):
    grace = f"go:movetime {ms},limit:{ms}"
    if kind == "stockfish":
        return (f"stockfish-{setting}",
                f"name:Stockfish {setting},cmd:{STOCKFISH},option:UCI_LimitStrength=true,"
                f"option:UCI_Elo={setting},option:Hash=16,{grace}")
    return (f"fairy{setting}",
            f"name:Fairy-Stockfish skill {setting},cmd:{FAIRY},option:Skill Level={setting},"
            f"option:Hash=16,{grace}")


def korvin_spec(level, uci):
    name, ms, _ = LEVELS[level]
    book = os.path.join(ROOT, "assets", "korvin.bok")
    limit = f",limit:{ms}" if ms else ""
    return (f"name:Korvin {name},cmd:{uci},option:Level={level},option:OwnBook=true,"
            f"option:BookFile={book},go:movetime {ms or 100}{limit}")


# --- games on disk -----------------------------------------------------------

def pgn_paths(pairing):
    return os.path.join(RESULTS, pairing + ".pgn"), os.path.join(RESULTS, pairing + ".pgn.xz")


def open_work_pgn(pairing, fresh):
    """The plain PGN the referee appends to, unpacked from the kept .xz."""
    plain, packed = pgn_paths(pairing)
    if fresh:
        for p in (plain, packed):
            if os.path.exists(p):
                os.remove(p)
    if not os.path.exists(plain) and os.path.exists(packed):
        with lzma.open(packed, "rt", encoding="utf-8") as src, open(plain + ".part", "w",
                                                                   encoding="utf-8") as dst:
            shutil.copyfileobj(src, dst)
        os.replace(plain + ".part", plain)
    return plain


def pack_pgn(pairing):
    plain, packed = pgn_paths(pairing)
    if not os.path.exists(plain):
        return
    with open(plain, "rb") as src, lzma.open(packed + ".part", "wb", preset=9) as dst:
        shutil.copyfileobj(src, dst)
    os.replace(packed + ".part", packed)
    os.remove(plain)


def read_games(pairing, skip_forfeits=False):
    """(tags) of every game of a pairing, from the plain or packed PGN;
    without the games lost on time when `skip_forfeits`."""
    plain, packed = pgn_paths(pairing)
    if os.path.exists(plain):
        text = open(plain, encoding="utf-8").read()
    elif os.path.exists(packed):
        text = lzma.open(packed, "rt", encoding="utf-8").read()
    else:
        return []
    games, tags = [], {}
    for line in text.splitlines():
        m = re.match(r'\[(\w+) "(.*)"\]', line)
        if m:
            tags[m.group(1)] = m.group(2)
        elif tags and line.strip():
            games.append(tags)
            tags = {}
    if skip_forfeits:
        games = [g for g in games if not g.get("Termination", "").startswith("time forfeit")]
    return games


def tally(games, player):
    """W, D, L, time losses and illegal moves of `player` in `games`."""
    w = d = l = tl = il = 0
    for g in games:
        white = g["White"] == player
        r = g["Result"]
        if r == "1/2-1/2":
            d += 1
        elif (r == "1-0") == white:
            w += 1
        else:
            l += 1
        term = g.get("Termination", "")
        if term.startswith("time forfeit: " + player + " "):
            tl += 1
        if term.startswith("illegal move: " + player + " "):
            il += 1
    return w, d, l, tl, il


# --- ratings -------------------------------------------------------------------

def expected(r, opp):
    return 1.0 / (1.0 + 10 ** ((opp - r) / 400.0))


def rating(matches):
    """Maximum-likelihood rating from [(wins, draws, losses, opponent rating,
    its standard error)], with a 95 % interval. The match part of the error
    comes from the observed spread of the game scores (draws make it
    smaller); an opponent's own error is added in proportion to its weight."""
    n = sum(w + d + l for w, d, l, _, _ in matches)
    if n == 0:
        return None
    pts = sum(w + d / 2 for w, d, l, _, _ in matches)
    # A clean sweep has no finite estimate: half a point is moved, and the
    # figure is a bound rather than an estimate.
    bound = "<" if pts == 0 else (">" if pts == n else "")
    adjust = 0.5 if pts == 0 else (-0.5 if pts == n else 0.0)

    def excess(r):
        return pts + adjust - sum((w + d + l) * expected(r, o) for w, d, l, o, _ in matches)

    lo, hi = -1000.0, 5000.0
    for _ in range(100):
        mid = (lo + hi) / 2
        if excess(mid) > 0:
            lo = mid
        else:
            hi = mid
    r = (lo + hi) / 2
    info = observed = 0.0
    weights = []
    for w, d, l, o, _ in matches:
        e = expected(r, o)
        k = w + d + l
        info += k * e * (1 - e)
        weights.append(k * e * (1 - e))
        observed += w * (1 - e) ** 2 + d * (0.5 - e) ** 2 + l * e ** 2
    spread = max(observed / info, 0.05) if info > 0 else 1.0
    scale = 400.0 / math.log(10)
    var = spread * scale ** 2 / info
    var += sum((wt / info) ** 2 * se ** 2 for wt, (_, _, _, _, se) in zip(weights, matches))
    half = 1.96 * math.sqrt(var)
    return r, half, bound, n


# --- running -------------------------------------------------------------------

def play(pairing, games, engines, fresh, log):
    plain = open_work_pgn(pairing, fresh)
    done = len(read_games(pairing))
    if done >= games:
        log(f"{pairing}: {done} games kept, nothing to play")
        pack_pgn(pairing)
        return
    log(f"{pairing}: {done} games kept, playing {games - done} more")
    started = time.monotonic()
    cmd = [sys.executable, os.path.join(ROOT, "scripts", "uci-match.py"), "--games", str(games),
           "--openings", os.path.join(HERE, "openings.txt"), "--pgn", plain, "--event", pairing,
           "--max-plies", "400", "--workdir", tempfile.gettempdir()]
    for e in engines:
        cmd += ["--engine", e]
    code = subprocess.call(cmd)
    pack_pgn(pairing)
    log(f"{pairing}: finished in {time.monotonic() - started:.0f} s (referee exit {code})")
    if code != 0:
        raise RuntimeError(f"the referee failed on {pairing}")


def play_all(jobs, parallel, log):
    """Plays every (pairing, games, engines, fresh) of `jobs`, `parallel` of
    them at a time. Each pairing keeps its own file, so they do not meet; a
    game needs one core (the two engines take turns), so more pairings at a
    time than the machine has cores would slow every engine down."""
    if parallel <= 1:
        for job in jobs:
            play(*job, log)
        return
    with concurrent.futures.ThreadPoolExecutor(max_workers=parallel) as pool:
        running = [pool.submit(play, *job, log) for job in jobs]
        failed = [str(f.exception()) for f in running if f.exception()]
    if failed:
        raise RuntimeError("; ".join(failed))


def calibration(setting):
    """The pairing that measures fairy-stockfish at `setting`: its name, the
    two engines, the measured player, and the anchor opponent."""
    kind, anchor_setting = CALIBRATION_ANCHOR[setting]
    anchor_key, anchor = opponent_spec(kind, anchor_setting, CALIBRATION_MS)
    _, fairy = opponent_spec("fairy", setting, CALIBRATION_MS)
    return (f"calibration-fairy{setting}-vs-{anchor_key}", [fairy, anchor],
            f"Fairy-Stockfish skill {setting}", (kind, anchor_setting))


def calibrations_needed(levels):
    """Fairy-stockfish settings the levels use, anchors first."""
    order = []

    def need(setting):
        kind, anchor = CALIBRATION_ANCHOR[setting]
        if kind == "fairy":
            need(anchor)
        if setting not in order:
            order.append(setting)
    for lv in levels:
        for k, s, _ in PLAN[lv]:
            if k == "fairy":
                need(s)
    return order


def opponent_rating(kind, setting, skip_forfeits=False):
    """(rating, standard error) of an opponent, or None before it has been
    measured. A chain of measurements adds up its errors."""
    if kind == "stockfish":
        return float(setting), 0.0
    pairing, _, player, anchor = calibration(setting)
    base = opponent_rating(*anchor, skip_forfeits)
    if base is None:
        return None
    w, d, l, _, _ = tally(read_games(pairing, skip_forfeits), player)
    r = rating([(w, d, l, base[0], base[1])])
    return None if r is None else (r[0], r[1] / 1.96)


def level_pairings(level):
    out = []
    for kind, setting, games in PLAN[level]:
        key, engine = opponent_spec(kind, setting, LEVELS[level][2])
        out.append((f"level{level}-vs-{key}", games, kind, setting, engine))
    return out


def summarise(log):
    rows, text = [], []
    estimates = {}  # level: (rating, 95 % half-width) of the levels with a finite figure
    for level in LEVELS:
        name = LEVELS[level][0]
        player = f"Korvin {name}"
        matches, games, dates, sites, lines = [], 0, [], [], []
        losses = [0, 0, 0]  # lost on time by the level, by its opponents; illegal moves
        for pairing, _, kind, setting, _ in level_pairings(level):
            played = read_games(pairing)
            if not played:
                continue
            opp = opponent_rating(kind, setting)
            w, d, l, tl, il = tally(played, player)
            opp_tl = sum(1 for g in played if g.get("Termination", "").startswith("time forfeit")) - tl
            games += len(played)
            losses[0] += tl
            losses[1] += opp_tl
            losses[2] += il
            dates += [g.get("Date", "") for g in played]
            sites += [g.get("Site", "") for g in played]
            opp_text = f"{opp[0]:.0f} ± {1.96 * opp[1]:.0f}" if opp else "not yet measured"
            lines.append(f"  against {pairing.split('-vs-')[1]} (rated {opp_text}): "
                         f"+{w} ={d} -{l}; time losses {tl} (opponent {opp_tl}), illegal {il}")
            if opp:
                matches.append((w, d, l, opp[0], opp[1]))
        if not games:
            continue
        est = rating(matches)
        text.append(f"Level {level} {name} ({LEVEL_TIME_TEXT[level]} a move), {games} games:")
        text += lines
        if est:
            r, half, bound, n = est
            if not bound:
                estimates[level] = (r, half)
            figure = f"{bound}{r:.0f} ± {half:.0f}"
            text.append(f"  rating {figure} (95 % interval {r - half:.0f}..{r + half:.0f})")
            # How much the time losses (of either side) move the figure.
            clean = []
            for pairing, _, kind, setting, _ in level_pairings(level):
                opp = opponent_rating(kind, setting, True)
                w, d, l, _, _ = tally(read_games(pairing, True), player)
                if opp and w + d + l:
                    clean.append((w, d, l, opp[0], opp[1]))
            alt = rating(clean)
            if alt:
                text.append(f"  without the games lost on time (by either side, here and in "
                            f"the calibrations): {alt[2]}{alt[0]:.0f} ± {alt[1]:.0f} "
                            f"over {alt[3]} games")
            rows.append((level, name, LEVEL_TIME_TEXT[level], figure, games,
                         max(dates), sites[-1], losses))
    guess = extrapolate_expert(estimates, {row[0] for row in rows})
    if guess:
        r, half = guess
        text.append(f"Level 4 Expert (10 s a move), not played: estimated {r:.0f} ± {half:.0f} "
                    f"as Advanced plus Advanced's gain over Intermediate")
        rows.append((4, LEVELS[4][0], LEVEL_TIME_TEXT[4], f"≈ {r:.0f} ± {half:.0f} (estimate)",
                     "0 (not played)", "", "", [0, 0, 0]))
    for setting in calibrations_needed(list(LEVELS)):
        pairing, _, player, anchor = calibration(setting)
        played = read_games(pairing)
        measured = opponent_rating("fairy", setting)
        if played and measured:
            w, d, l, tl, il = tally(played, player)
            text.append(f"Calibration: {player} against {anchor[0]} {anchor[1]} at "
                        f"{CALIBRATION_MS} ms a move, {len(played)} games: +{w} ={d} -{l}, "
                        f"time losses {tl}, illegal {il}: rated {measured[0]:.0f} ± "
                        f"{1.96 * measured[1]:.0f}")
    summary = "\n".join(text) + "\n"
    with open(os.path.join(RESULTS, "summary.txt"), "w", encoding="utf-8") as f:
        f.write(summary)
    log(summary)
    write_readme_table(rows)


def extrapolate_expert(estimates, played):
    """An estimate of Expert when it has not been played: each level thinks
    ten times longer than the one below it, and Expert is taken to gain over
    Advanced what Advanced gained over Intermediate. Gains shrink as the time
    grows, so this leans high. The interval adds the two measured ones'
    variances (twice Advanced's figure less Intermediate's)."""
    if 4 in played or 2 not in estimates or 3 not in estimates:
        return None
    (r2, h2), (r3, h3) = estimates[2], estimates[3]
    return 2 * r3 - r2, math.sqrt((2 * h3) ** 2 + h2 ** 2)


def write_readme_table(rows):
    readme = os.path.join(ROOT, "README.md")
    text = open(readme, encoding="utf-8").read()
    start, end = "<!-- strength table -->", "<!-- end of strength table -->"
    if start not in text or end not in text:
        return
    table = ["| Level | Time per move | Rating (95 % interval) | Games | Lost on time "
             "(level / opponents) | Date | Machine |",
             "|---|---|---|---|---|---|---|"]
    measured = {row[0]: row for row in rows}
    for level, (name, _, _) in LEVELS.items():
        if level not in measured:
            table.append(f"| {name} | {LEVEL_TIME_TEXT[level]} | not measured yet "
                         f"(`make strength LEVELS={level}`) | | | | |")
            continue
        _, _, tpm, figure, games, date, site, losses = measured[level]
        lost = f"{losses[0]} / {losses[1]}" if date else ""
        table.append(f"| {name} | {tpm} | {figure} | {games} | {lost} | {date} | {site} |")
    illegal = sum(row[7][2] for row in rows)
    table += ["", "Ratings are on the scale of stockfish 15.1's `UCI_Elo`, at the level's "
              "own time per move; illegal moves by Korvin in these games: "
              f"{illegal}. Each pairing's games and the full summary are in "
              "`bench/strength/results/`."]
    if any(row[5] == "" for row in rows):
        table += ["", "A level marked as an estimate has not been played: it is Advanced's "
                  "figure plus Advanced's gain over Intermediate (each level thinks ten times "
                  "longer than the one below), which leans high, as the gain from more time "
                  "shrinks as the time grows."]
    head, rest = text.split(start, 1)
    _, tail = rest.split(end, 1)
    new = head + start + "\n" + "\n".join(table) + "\n" + end + tail
    with open(readme + ".part", "w", encoding="utf-8") as f:
        f.write(new)
    os.replace(readme + ".part", readme)


def ensure_opponents():
    missing = [pkg for path, pkg in ((STOCKFISH, "stockfish"), (FAIRY, "fairy-stockfish"))
               if not os.path.exists(path)]
    if not missing:
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    print("Installing " + " ".join(missing), flush=True)
    subprocess.check_call(sudo + ["apt-get", "-o", "DPkg::Lock::Timeout=900", "install", "-y",
                                  "--no-install-recommends"] + missing)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--uci", required=True, help="path of korvin-uci")
    p.add_argument("--levels", default="1 2 3 4", help='levels to play, e.g. "1 2"')
    p.add_argument("--fresh", action="store_true", help="drop the kept games of these levels")
    p.add_argument("--games", type=int, help="games per pairing instead of the plan's")
    p.add_argument("--summary-only", action="store_true", help="only rewrite the summary")
    p.add_argument("--parallel", type=int, default=1,
                   help="pairings played at the same time (at most one per free core)")
    args = p.parse_args()
    os.makedirs(RESULTS, exist_ok=True)
    started = time.monotonic()

    def log(msg):
        print(f"[strength {time.monotonic() - started:6.0f} s] {msg}", flush=True)

    args.uci = os.path.abspath(args.uci)
    levels = [int(x) for x in args.levels.replace(",", " ").split()]
    if any(lv not in LEVELS for lv in levels):
        p.error("levels are 1..4")
    if not args.summary_only:
        ensure_opponents()
        log(f"{datetime.datetime.now():%Y-%m-%d %H:%M}, levels {levels}")
        # The calibrations come first, as the levels' figures rest on them.
        # The opponents do not change with the engine: FRESH keeps these.
        calibrations = []
        for setting in calibrations_needed(levels):
            pairing, engines, _, _ = calibration(setting)
            calibrations.append((pairing, args.games or CALIBRATION_GAMES, engines, False))
        matches = [(pairing, args.games or games, [korvin_spec(level, args.uci), engine], args.fresh)
                   for level in levels for pairing, games, _, _, engine in level_pairings(level)]
        try:
            play_all(calibrations, args.parallel, log)
            play_all(matches, args.parallel, log)
        except RuntimeError as e:
            raise SystemExit(str(e))
    summarise(log)


if __name__ == "__main__":
    main()
