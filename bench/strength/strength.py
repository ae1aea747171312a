#!/usr/bin/env python3
"""Measures the rating of each playing level in matches through korvin-uci.

Each level plays at its own limits (Novice one ply, then 0.1 s, 1 s and
10 s a move) against opponents that all play at one fixed time per move,
OPPONENT_MS, whatever the level: Debian's stockfish held to a rating with
UCI_LimitStrength/UCI_Elo (the scale), and, below stockfish's lowest
setting, fairy-stockfish at low skill levels, whose own ratings are first
measured on the same scale. So every level's figure is on one scale and
the figures can be compared. Neighbouring levels also play each other, as
a cross-check of the differences.
Games start from bench/strength/openings.txt, each opening once with each
colour; scripts/uci-match.py referees them.

Every pairing keeps its games in results/<pairing>.pgn.xz (a plain .pgn
while it is being played); a run goes on from the games already there
(FRESH=1 drops them first), so levels can be run one at a time and across
sessions (`make strength LEVELS=4`). At the end the ratings are written to
results/summary.txt and to the table in the top-level README.
"""
import argparse
import datetime
import fcntl
import lzma
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RESULTS = os.path.join(HERE, "results")
STOCKFISH = "/usr/games/stockfish"
FAIRY = "/usr/games/fairy-stockfish"

LEVELS = {  # level: (name, korvin's time per move in ms, or None for one ply)
    1: ("Novice", None),
    2: ("Intermediate", 100),
    3: ("Advanced", 1000),
    4: ("Expert", 10000),
}
LEVEL_TIME_TEXT = {1: "one ply", 2: "0.1 s", 3: "1 s", 4: "10 s"}

# Every opponent of every level plays at this time per move: the scale is
# stockfish's UCI_Elo at this time, the same for all levels.
OPPONENT_MS = 100

# The opponents of each level and the games against each, bracketing the
# level. Stockfish's settings are the scale; fairy-stockfish's skill levels
# are measured first.
PLAN = {
    1: [("stockfish", 1350, 50), ("fairy", 0, 50), ("fairy", -3, 50)],
    2: [("stockfish", 1350, 50), ("stockfish", 1600, 50), ("stockfish", 1900, 50)],
    3: [("stockfish", 1600, 30), ("stockfish", 1900, 30), ("stockfish", 2200, 30)],
    4: [("stockfish", 1900, 20), ("stockfish", 2200, 20)],
}
# Neighbouring levels against each other (lower level, higher level, games):
# the cross-check of the differences on the scale.
HEAD_TO_HEAD = [(1, 2, 20), (2, 3, 40), (3, 4, 20)]
CALIBRATION_GAMES = 100
# Each fairy-stockfish skill level and the opponent it is measured against:
# skill 0 against stockfish's lowest setting, and skill -3, which scores too
# little against stockfish to be measured there, against skill 0.
CALIBRATION_ANCHOR = {0: ("stockfish", 1350), -3: ("fairy", 0)}


def opponent_spec(kind, setting):
    ms = OPPONENT_MS
    grace = f"go:movetime {ms},limit:{ms}"
    if kind == "stockfish":
        return (f"stockfish-{setting}",
                f"name:Stockfish {setting},cmd:{STOCKFISH},option:UCI_LimitStrength=true,"
                f"option:UCI_Elo={setting},option:Hash=16,{grace}")
    return (f"fairy{setting}",
            f"name:Fairy-Stockfish skill {setting},cmd:{FAIRY},option:Skill Level={setting},"
            f"option:Hash=16,{grace}")


def korvin_spec(level, uci):
    name, ms = LEVELS[level]
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
        with open(plain, encoding="utf-8") as f:
            fcntl.flock(f, fcntl.LOCK_SH)  # never half a game another referee is writing
            text = f.read()
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

def kept_rounds(pairing):
    """The rounds of a pairing whose games are kept."""
    return {int(g["Round"]) for g in read_games(pairing) if g.get("Round", "").isdigit()}


def rounds_left(games, kept, playing=()):
    """The rounds 1..games neither kept nor being played, in order."""
    return [r for r in range(1, games + 1) if r not in kept and r not in playing]


def play_game(pairing, engines, rnd, games):
    """Game `rnd` of a pairing (its opening and colours follow from the
    number), appended to the pairing's plain PGN."""
    plain, _ = pgn_paths(pairing)
    cmd = [sys.executable, os.path.join(ROOT, "scripts", "uci-match.py"),
           "--round", str(rnd), "--games", str(games),
           "--openings", os.path.join(HERE, "openings.txt"), "--pgn", plain,
           "--event", pairing, "--max-plies", "400", "--workdir", tempfile.gettempdir()]
    for e in engines:
        cmd += ["--engine", e]
    code = subprocess.call(cmd)
    if code != 0 or rnd not in kept_rounds(pairing):
        raise RuntimeError(f"the referee failed on {pairing}, game {rnd} (exit {code})")


def pick_job(jobs, kept, playing):
    """(job, round) a free worker plays next, or None when every game is
    kept or being played. `kept` and `playing` give each pairing's rounds.
    The earliest group with a game left decides; in it, a pairing nobody
    plays comes before one being played, then the smallest share of games
    kept or under way, the first listed on a tie; the round is the first
    one left."""
    def left(j):
        return rounds_left(j[1], kept[j[0]], playing[j[0]])
    free = [j for j in jobs if left(j)]
    if not free:
        return None
    group = min(j[4] for j in free)
    job = min((j for j in free if j[4] == group),
              key=lambda j: (len(playing[j[0]]) > 0,
                             (len(kept[j[0]]) + len(playing[j[0]])) / j[1]))
    return job, left(job)[0]


def play_all(jobs, parallel, log):
    """Plays every (pairing, games, engines, fresh, group) of `jobs` with
    `parallel` workers, one game at a time each. A game needs one core (the
    two engines take turns), so more workers than the machine has cores
    would slow every engine down.

    A free worker takes a game of the earliest group with games left:
    preferably of a pairing no other worker is playing, the one with the
    smallest share of its games played. So a level's opponents are met in
    turn (a run stopped early still brackets the level), the levels are
    finished in order, and no core waits while another plays out the last
    pairing. A stopped run loses only the games under way; the next run
    plays the rounds that are missing."""
    lock = threading.Lock()
    kept, playing, failed = {}, {}, []
    for pairing, games, _, fresh, _ in jobs:
        open_work_pgn(pairing, fresh)
        kept[pairing] = kept_rounds(pairing)
        playing[pairing] = set()
        missing = len(rounds_left(games, kept[pairing]))
        if not missing:
            pack_pgn(pairing)
        else:
            log(f"{pairing}: {games - missing} games kept, playing {missing} more")

    def next_job():
        with lock:
            pick = None if failed else pick_job(jobs, kept, playing)
            if pick:
                playing[pick[0][0]].add(pick[1])
            return pick

    def worker():
        while (pick := next_job()) is not None:
            (pairing, games, engines, _, _), rnd = pick
            error = None
            try:
                play_game(pairing, engines, rnd, games)  # fails unless the game is kept
            except RuntimeError as e:
                error = str(e)
            with lock:
                playing[pairing].discard(rnd)
                if error:
                    failed.append(error)
                else:
                    kept[pairing].add(rnd)
                finished = not playing[pairing] and not rounds_left(games, kept[pairing])
            if finished:
                pack_pgn(pairing)
                log(f"{pairing}: all {games} games played")

    threads = [threading.Thread(target=worker) for _ in range(max(1, parallel))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if failed:
        raise RuntimeError("; ".join(failed))


def calibration(setting):
    """The pairing that measures fairy-stockfish at `setting`: its name, the
    two engines, the measured player, and the anchor opponent."""
    kind, anchor_setting = CALIBRATION_ANCHOR[setting]
    anchor_key, anchor = opponent_spec(kind, anchor_setting)
    _, fairy = opponent_spec("fairy", setting)
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
        key, engine = opponent_spec(kind, setting)
        out.append((f"level{level}-vs-{key}", games, kind, setting, engine))
    return out


def head_to_head_pairing(low, high):
    return f"level{low}-vs-level{high}"


def player_name(level):
    return f"Korvin {LEVELS[level][0]}"


def parts_text(games):
    """When and where the games were played: one entry per date and machine,
    earliest date first. A level's games come pairing by pairing, so the
    parts of a run stopped and resumed interleave in the list and are
    counted together here."""
    counts = {}
    for g in games:
        key = (g.get("Date", "?"), g.get("Site", "?"))
        counts[key] = counts.get(key, 0) + 1
    keys = sorted(counts, key=lambda k: k[0])  # stable: machines keep their order within a day
    return "; ".join(f"{counts[k]} on {k[0]} ({k[1]})" for k in keys)


# What each level suits, worded from its measured rating (see the README):
# kept here so that the table and its sentences are written together.
SUITS = {
    1: "players who know the rules and are starting out",
    2: "casual players and club beginners",
    3: "club players; a small step above Intermediate against other opponents",
    4: "stronger club players",
}


def level_result(level, skip_forfeits=False):
    """Everything measured of a level: its lines of the summary, its rating
    (or None) and the figures the README table shows."""
    player = player_name(level)
    matches, lines, every = [], [], []
    losses = [0, 0, 0]  # lost on time by the level, by its opponents; illegal moves
    for pairing, _, kind, setting, _ in level_pairings(level):
        played = read_games(pairing, skip_forfeits)
        if not played:
            continue
        opp = opponent_rating(kind, setting, skip_forfeits)
        w, d, l, tl, il = tally(played, player)
        opp_tl = sum(1 for g in played if g.get("Termination", "").startswith("time forfeit")) - tl
        every += played
        losses[0] += tl
        losses[1] += opp_tl
        losses[2] += il
        opp_text = f"{opp[0]:.0f} ± {1.96 * opp[1]:.0f}" if opp else "not yet measured"
        lines.append(f"  against {pairing.split('-vs-')[1]} (rated {opp_text}): "
                     f"+{w} ={d} -{l}; time losses {tl} (opponent {opp_tl}), illegal {il}")
        if opp:
            matches.append((w, d, l, opp[0], opp[1]))
    planned = sum(n for _, _, n in PLAN[level])
    return {"lines": lines, "rating": rating(matches), "games": len(every), "planned": planned,
            "losses": losses, "played": every}


def figure_text(est):
    r, half, bound, _ = est
    return f"{bound}{r:.0f} ± {half:.0f}"


def compare(low, high, measured):
    """The difference of two levels' ratings on the scale beside the one
    measured head to head (each a (rating, 95 % half-width, bound, games)
    or None): the difference as text and whether the two agree within
    their errors (the half-widths added in quadrature)."""
    if not (low and high and measured) or low[2] or high[2]:
        return "not measured", "cannot be compared yet"
    diff, half = high[0] - low[0], math.hypot(low[1], high[1])
    tolerance = math.hypot(half, measured[1])
    if measured[2] == ">":
        # A clean sweep only says the difference is at least this.
        agree = diff + tolerance >= measured[0]
    elif measured[2] == "<":
        agree = diff - tolerance <= measured[0]
    else:
        agree = abs(diff - measured[0]) <= tolerance
    gap = measured[0] - diff
    if agree:
        verdict = "agree within their errors"
    else:
        verdict = (f"head to head is {'larger' if gap > 0 else 'smaller'} by {abs(gap):.0f}, "
                   f"beyond the errors ({tolerance:.0f})")
    return f"{diff:.0f} ± {half:.0f}", verdict


def cross_check(results):
    """Each head-to-head pairing beside the difference of the two levels'
    ratings on the scale: (summary lines, README rows)."""
    lines, rows = [], []
    for low, high, planned in HEAD_TO_HEAD:
        played = read_games(head_to_head_pairing(low, high))
        if not played:
            continue
        w, d, l, tl, il = tally(played, player_name(high))
        _, _, _, low_tl, low_il = tally(played, player_name(low))
        measured = rating([(w, d, l, 0.0, 0.0)])
        names = f"{LEVELS[high][0]} against {LEVELS[low][0]}"
        progress = "" if len(played) >= planned else f" (of {planned} planned)"
        text = (f"Head to head, {names}: {len(played)} games{progress}, +{w} ={d} -{l} for "
                f"{LEVELS[high][0]}; time losses {tl + low_tl}, illegal {il + low_il}: "
                f"difference {figure_text(measured)}")
        scale_text, verdict = compare(results[low]["rating"], results[high]["rating"], measured)
        lines.append(text + f"; on the scale {scale_text}: {verdict}")
        rows.append((names, f"{len(played)}{progress}", f"+{w} ={d} −{l}", figure_text(measured),
                     scale_text, verdict))
    return lines, rows


def summarise(log):
    text = []
    results = {level: level_result(level) for level in LEVELS}
    for level, res in results.items():
        name = LEVELS[level][0]
        if not res["games"]:
            continue
        progress = "" if res["games"] >= res["planned"] else f" of {res['planned']} planned"
        text.append(f"Level {level} {name} ({LEVEL_TIME_TEXT[level]} a move), "
                    f"{res['games']} games{progress}:")
        text += res["lines"]
        text.append(f"  played: {parts_text(res['played'])}")
        est = res["rating"]
        if est:
            r, half, _, _ = est
            text.append(f"  rating {figure_text(est)} (95 % interval {r - half:.0f}..{r + half:.0f})")
            # How much the time losses (of either side) move the figure.
            alt = level_result(level, skip_forfeits=True)["rating"]
            if alt:
                text.append(f"  without the games lost on time (by either side, here and in "
                            f"the calibrations): {figure_text(alt)} over {alt[3]} games")
    for setting in calibrations_needed(list(LEVELS)):
        pairing, _, player, anchor = calibration(setting)
        played = read_games(pairing)
        measured = opponent_rating("fairy", setting)
        if played and measured:
            w, d, l, tl, il = tally(played, player)
            text.append(f"Calibration: {player} against {anchor[0]} {anchor[1]} at "
                        f"{OPPONENT_MS} ms a move, {len(played)} games: +{w} ={d} -{l}, "
                        f"time losses {tl}, illegal {il}: rated {measured[0]:.0f} ± "
                        f"{1.96 * measured[1]:.0f}")
    check_lines, check_rows = cross_check(results)
    text += check_lines
    summary = "\n".join(text) + "\n"
    with open(os.path.join(RESULTS, "summary.txt"), "w", encoding="utf-8") as f:
        f.write(summary)
    log(summary)
    write_readme_table({level: res for level, res in results.items() if res["games"]}, check_rows)


def write_readme_table(results, check_rows):
    readme = os.path.join(ROOT, "README.md")
    text = open(readme, encoding="utf-8").read()
    start, end = "<!-- strength table -->", "<!-- end of strength table -->"
    if start not in text or end not in text:
        return
    table = ["| Level | Time per move | Rating (95 % interval) | Games | Lost on time "
             "(level / opponents) | Suits |",
             "|---|---|---|---|---|---|"]
    for level, (name, _) in LEVELS.items():
        res = results.get(level)
        if not res or not res["rating"]:
            table.append(f"| {name} | {LEVEL_TIME_TEXT[level]} | not measured yet "
                         f"(`make strength LEVELS={level}`) | | | |")
            continue
        r, half, _, _ = res["rating"]
        figure = f"{figure_text(res['rating'])} ({r - half:.0f}–{r + half:.0f})"
        games = str(res["games"])
        if res["games"] < res["planned"]:
            figure += ", so far"
            games += f" of {res['planned']}"
        losses = res["losses"]
        table.append(f"| {name} | {LEVEL_TIME_TEXT[level]} | {figure} | {games} | "
                     f"{losses[0]} / {losses[1]} | {SUITS[level]} |")
    illegal = sum(res["losses"][2] for res in results.values())
    table += ["", f"One scale for all levels: every opponent plays at {OPPONENT_MS / 1000:g} s "
              "a move, whatever the level, and the ratings are stockfish 15.1's `UCI_Elo` "
              "at that time. Illegal moves by Korvin in these games: "
              f"{illegal}. When and where each level was played:", ""]
    for level, res in results.items():
        table.append(f"- {LEVELS[level][0]}: {parts_text(res['played'])}")
    if check_rows:
        table += ["", "Neighbouring levels against each other, each at its own time; the "
                  "difference measured head to head beside the difference of the two ratings "
                  "above:", "",
                  "| Pairing | Games | Result (higher level) | Head to head | On the scale | "
                  "Verdict |", "|---|---|---|---|---|---|"]
        table += ["| " + " | ".join(row) + " |" for row in check_rows]
    table += ["", "Each pairing's games and the full summary are in `bench/strength/results/`."]
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


def pack_all(log):
    """Packs the games of every pairing left plain by a run that was stopped
    (the finished games are kept; a game cut off was never written)."""
    for name in sorted(os.listdir(RESULTS)):
        if name.endswith(".pgn"):
            pairing = name[:-4]
            pack_pgn(pairing)
            log(f"{pairing}: {len(read_games(pairing))} games packed")


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--uci", help="path of korvin-uci (needed to play)")
    p.add_argument("--levels", default="1 2 3 4",
                   help='levels to play, e.g. "1 2"; neighbours both given also play each other')
    p.add_argument("--fresh", action="store_true", help="drop the kept games of these levels")
    p.add_argument("--games", type=int, help="games per pairing instead of the plan's")
    p.add_argument("--summary-only", action="store_true", help="only rewrite the summary")
    p.add_argument("--pack", action="store_true",
                   help="pack the games of a stopped run and rewrite the summary")
    p.add_argument("--parallel", type=int, default=1,
                   help="pairings played at the same time (at most one per free core)")
    args = p.parse_args()
    os.makedirs(RESULTS, exist_ok=True)
    started = time.monotonic()

    def log(msg):
        print(f"[strength {time.monotonic() - started:6.0f} s] {msg}", flush=True)

    levels = [int(x) for x in args.levels.replace(",", " ").split()]
    if any(lv not in LEVELS for lv in levels):
        p.error("levels are 1..4")
    if args.pack:
        pack_all(log)
    elif not args.summary_only:
        if not args.uci:
            p.error("--uci is needed to play")
        args.uci = os.path.abspath(args.uci)
        ensure_opponents()
        log(f"{datetime.datetime.now():%Y-%m-%d %H:%M}, levels {levels}")
        # The calibrations come first, as the levels' figures rest on them.
        # The opponents do not change with the engine: FRESH keeps these.
        calibrations = []
        for setting in calibrations_needed(levels):
            pairing, engines, _, _ = calibration(setting)
            calibrations.append((pairing, args.games or CALIBRATION_GAMES, engines, False, 0))
        # A level's own pairings come before it meets the level below it;
        # the levels go in order.
        matches = [(pairing, args.games or games, [korvin_spec(level, args.uci), engine],
                    args.fresh, level)
                   for level in levels for pairing, games, _, _, engine in level_pairings(level)]
        matches += [(head_to_head_pairing(low, high), args.games or games,
                     [korvin_spec(high, args.uci), korvin_spec(low, args.uci)],
                     args.fresh, high + 0.5)
                    for low, high, games in HEAD_TO_HEAD if low in levels and high in levels]
        try:
            play_all(calibrations, args.parallel, log)
            play_all(matches, args.parallel, log)
        except RuntimeError as e:
            raise SystemExit(str(e))
    summarise(log)


if __name__ == "__main__":
    main()
