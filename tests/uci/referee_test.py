#!/usr/bin/env python3
"""The match referee's own rules and the rating arithmetic of the strength
benchmark: perft counts of the repository's reference positions, notation,
draw rules, the referee's adjudication, and the rating estimate."""
import importlib.util
import os
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
from chess_rules import START_FEN, Position, perft  # noqa: E402


def load(name, path):
    spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


match = load("uci_match", os.path.join(ROOT, "scripts", "uci-match.py"))
strength = load("strength", os.path.join(ROOT, "bench", "strength", "strength.py"))


class Rules(unittest.TestCase):
    def test_reference_perft_counts(self):
        # The reference counts promote to a queen only, as the engine does.
        path = os.path.join(ROOT, "tests", "data", "perft-reference.txt")
        checked = 0
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        for line in lines:
            if line.startswith("#") or "|" not in line:
                continue
            fen, counts = line.split("|")
            counts = [int(c) for c in counts.split()]
            depth = 3 if counts[2] < 10000 else 2
            for d in range(1, depth + 1):
                self.assertEqual(perft(Position(fen.strip()), d, queen_only=True), counts[d - 1],
                                 f"{fen} depth {d}")
            checked += 1
        self.assertGreaterEqual(checked, 6)

    def test_every_promotion_piece_is_a_move(self):
        # Published counts with all four promotion pieces.
        fen = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"
        self.assertEqual([perft(Position(fen), d) for d in (1, 2)], [44, 1486])
        moves = Position(fen).legal_moves()
        self.assertTrue({"d7c8q", "d7c8r", "d7c8b", "d7c8n"} <= set(moves))
        self.assertNotIn("d7c8", moves)

    def test_san_and_fen(self):
        p = Position(START_FEN)
        for m in "e2e4 e7e5 g1f3 b8c6 f1b5 g8f6 e1g1".split():
            p.play(m)
        self.assertEqual(p.fen(), "r1bqkb1r/pppp1ppp/2n2n2/1B2p3/4P3/5N2/PPPP1PPP/RNBQ1RK1 b kq - 5 4")
        # Knights on b1 and f3 can both reach d2: the file tells them apart.
        q = Position("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1")
        self.assertEqual(q.san("b1d2"), "Nbd2")
        self.assertEqual(Position("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1").san("a1a8"), "Ra8#")
        self.assertEqual(Position("4k3/P7/8/8/8/8/8/4K3 w - - 0 1").san("a7a8n"), "a8=N")

    def test_draw_rules(self):
        self.assertTrue(Position("8/8/4k3/8/8/3BK3/8/8 w - - 0 1").insufficient_material())
        self.assertFalse(Position("8/8/4k3/8/8/3NK3/4N3/8 w - - 0 1").insufficient_material())
        self.assertTrue(Position("8/8/2b1k3/8/8/3BK3/8/8 w - - 0 1").insufficient_material())
        self.assertFalse(Position("8/8/3bk3/8/8/3BK3/8/8 w - - 0 1").insufficient_material())
        # An en-passant square counts for repetition only when the capture is legal.
        p = Position(START_FEN)
        p.play("e2e4")
        self.assertIsNone(p.repetition_key()[3])

    def test_illegal_openings_are_refused(self):
        path = os.path.join(ROOT, "bench", "strength", "openings.txt")
        self.assertGreaterEqual(len(match.read_openings(path)), 50)
        with tempfile.TemporaryDirectory() as folder:
            bad = os.path.join(folder, "openings.txt")
            with open(bad, "w", encoding="utf-8") as f:
                f.write("e2e4 e7e5 e1e3\n")
            with self.assertRaises(ValueError):
                match.read_openings(bad)


class Adjudication(unittest.TestCase):
    def test_resignation_needs_every_one_of_the_last_plies(self):
        self.assertEqual(match.adjudicate([1200] * 8, 30)[0], "1-0")
        self.assertIsNone(match.adjudicate([1200] * 7 + [900], 30))
        self.assertIsNone(match.adjudicate([1200] * 7 + [None], 30))
        self.assertEqual(match.adjudicate([-100000] * 8, 30)[0], "0-1")

    def test_draw_only_late_and_level(self):
        self.assertIsNone(match.adjudicate([0] * 8, 79))
        self.assertEqual(match.adjudicate([0] * 8, 80)[0], "1/2-1/2")
        self.assertIsNone(match.adjudicate([0] * 7 + [11], 90))

    def test_scores_from_info_lines(self):
        self.assertEqual(match.score_of("info depth 3 score cp -35 nodes 9", None), -35)
        self.assertEqual(match.score_of("info depth 9 score mate -2 pv a1a2", 5), -100000)
        self.assertEqual(match.score_of("info depth 9 score cp 80 lowerbound", 5), 5)
        self.assertEqual(match.score_of("info string hello", 7), 7)


class Rating(unittest.TestCase):
    def test_even_score_is_the_opponents_rating(self):
        r, half, bound, n = strength.rating([(20, 20, 20, 1500.0, 0.0)])
        self.assertAlmostEqual(r, 1500.0, places=3)
        self.assertEqual(bound, "")
        self.assertEqual(n, 60)
        # 95 % interval of 60 games with a third drawn: about +-70.
        self.assertTrue(55 < half < 85, half)

    def test_three_quarters_is_about_191_above(self):
        r, _, _, _ = strength.rating([(75, 0, 25, 1000.0, 0.0)])
        self.assertAlmostEqual(r, 1190.8, delta=0.5)

    def test_two_opponents_and_their_error(self):
        # Scoring what the rating predicts against both gives that rating.
        e1, e2 = strength.expected(1600, 1500), strength.expected(1600, 1800)
        r, half, _, _ = strength.rating([(100 * e1, 0, 100 * (1 - e1), 1500.0, 0.0),
                                         (100 * e2, 0, 100 * (1 - e2), 1800.0, 0.0)])
        self.assertAlmostEqual(r, 1600.0, places=2)
        _, wider, _, _ = strength.rating([(100 * e1, 0, 100 * (1 - e1), 1500.0, 60.0),
                                          (100 * e2, 0, 100 * (1 - e2), 1800.0, 0.0)])
        self.assertGreater(wider, half)

    def test_a_sweep_is_a_bound(self):
        r, _, bound, _ = strength.rating([(0, 0, 10, 1350.0, 0.0)])
        self.assertEqual(bound, "<")
        self.assertLess(r, 1350.0 - 300)



class Ladder(unittest.TestCase):
    """How make strength schedules its games and compares the levels."""

    def test_a_free_worker_takes_the_earliest_group_then_the_least_played(self):
        def pick(jobs, kept, playing=None):
            playing = playing or {}
            found = strength.pick_job(jobs, {j[0]: set(range(1, kept[j[0]] + 1)) for j in jobs},
                                      {j[0]: set(playing.get(j[0], ())) for j in jobs})
            return found and (found[0][0], found[1])
        # Listed out of order: the group, not the place in the list, decides.
        jobs = [("a", 30, [], False, 3), ("c", 20, [], False, 4), ("b", 30, [], False, 3),
                ("ab", 40, [], False, 3.5)]
        kept = {"a": 10, "b": 4, "ab": 0, "c": 0}
        self.assertEqual(pick(jobs, kept), ("b", 5))
        self.assertEqual(pick(jobs, kept, {"b": {5}}), ("a", 11))
        # With every pairing of its group being played, a worker joins the
        # least advanced of them rather than opening the next group.
        self.assertEqual(pick(jobs, kept, {"a": {11}, "b": {5}}), ("b", 6))
        # Shares, not counts: 10 of 30 is less played than 5 of 10.
        self.assertEqual(pick([("x", 30, [], False, 1), ("y", 10, [], False, 1)],
                              {"x": 10, "y": 5}), ("x", 11))
        # Finished pairings are never taken; the last games of the last
        # pairing are shared out; nothing left gives None.
        kept = {"a": 30, "b": 30, "ab": 40, "c": 18}
        self.assertEqual(pick(jobs, kept), ("c", 19))
        self.assertEqual(pick(jobs, kept, {"c": {19}}), ("c", 20))
        self.assertIsNone(pick(jobs, kept, {"c": {19, 20}}))

    def test_a_stopped_run_plays_the_rounds_it_lost(self):
        # Rounds 1, 2 and 4 kept (3 was under way when the run stopped).
        jobs = [("p", 6, [], False, 1)]
        self.assertEqual(strength.pick_job(jobs, {"p": {1, 2, 4}}, {"p": set()})[1], 3)
        self.assertEqual(strength.pick_job(jobs, {"p": {1, 2, 4}}, {"p": {3}})[1], 5)

    def test_referees_sharing_a_pgn_keep_every_round(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "p.pgn")
            for rnd in (2, 1):
                tags = [("Event", "p"), ("Round", str(rnd)), ("Result", "1-0")]
                match.add_to_pgn(path, match.pgn_text(tags, ["e2e4"], "1-0"))
            match.add_to_pgn(path, match.pgn_text([("Event", "q"), ("Round", "3")], [], "*"))
            self.assertEqual(match.rounds_in(path, "p"), [2, 1])
            self.assertEqual(match.rounds_in(path, "q"), [3])

    def test_head_to_head_against_the_scale(self):
        low, high = (1700.0, 60.0, "", 150), (1800.0, 80.0, "", 60)
        text, verdict = strength.compare(low, high, (150.0, 90.0, "", 40))
        self.assertEqual(text, "100 ± 100")
        self.assertEqual(verdict, "agree within their errors")
        # 320 measured against 100 on the scale, with errors of about 135.
        _, verdict = strength.compare(low, high, (320.0, 90.0, "", 40))
        self.assertTrue(verdict.startswith("head to head is larger by 220"), verdict)
        _, verdict = strength.compare(low, high, (-150.0, 90.0, "", 40))
        self.assertTrue(verdict.startswith("head to head is smaller by 250"), verdict)
        # A clean sweep is only a lower bound: a larger scale gap agrees.
        _, verdict = strength.compare(low, (2500.0, 80.0, "", 60), (190.0, 320.0, ">", 20))
        self.assertEqual(verdict, "agree within their errors")
        # Nothing to compare while a level has no finite rating.
        self.assertEqual(strength.compare(low, None, (150.0, 90.0, "", 40))[1],
                         "cannot be compared yet")
        self.assertEqual(strength.compare((900.0, 0.0, "<", 10), high, (150.0, 90.0, "", 40))[1],
                         "cannot be compared yet")

    def test_parts_count_each_day_and_machine_once(self):
        # Two pairings, each begun on one day and finished on the next: the
        # games of a day are counted together, earliest day first.
        games = [{"Date": "2026.12.10", "Site": "B"}, {"Date": "2026.12.09", "Site": "A"},
                 {"Date": "2026.12.09", "Site": "A"}, {"Date": "2026.12.10", "Site": "B"},
                 {"Date": "2026.12.09", "Site": "C"}, {"Date": "2026.12.10", "Site": "B"}]
        self.assertEqual(strength.parts_text(games),
                         "2 on 2026.12.09 (A); 1 on 2026.12.09 (C); 3 on 2026.12.10 (B)")

    def test_every_opponent_plays_at_the_one_fixed_time(self):
        for level in strength.LEVELS:
            for _, _, _, _, engine in strength.level_pairings(level):
                self.assertIn(f"go:movetime {strength.OPPONENT_MS},", engine)
        for setting in strength.calibrations_needed(list(strength.LEVELS)):
            _, engines, _, _ = strength.calibration(setting)
            for engine in engines:
                self.assertIn(f"go:movetime {strength.OPPONENT_MS},", engine)


if __name__ == "__main__":
    unittest.main()
