"""The rules of chess for the match referee, written on their own so that the
referee does not trust either engine's move generator.

A position is a list of 64 squares (a1 = 0, h1 = 7, a8 = 56; "." for empty,
"PNBRQK" White, "pnbrqk" Black), the side to move, the castling rights, the
en-passant square, and the two move counters. Moves are in coordinate
notation ("e2e4", "e7e8q"); every promotion names its piece.
"""

START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"

KNIGHT_STEPS = ((1, 2), (2, 1), (-1, 2), (-2, 1), (1, -2), (2, -1), (-1, -2), (-2, -1))
KING_STEPS = ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (1, -1), (-1, 1), (-1, -1))
BISHOP_DIRS = ((1, 1), (1, -1), (-1, 1), (-1, -1))
ROOK_DIRS = ((1, 0), (-1, 0), (0, 1), (0, -1))


def square_name(sq):
    return "abcdefgh"[sq % 8] + str(sq // 8 + 1)


def square_index(name):
    if len(name) != 2 or name[0] not in "abcdefgh" or name[1] not in "12345678":
        raise ValueError(f"not a square: {name!r}")
    return "abcdefgh".index(name[0]) + 8 * (int(name[1]) - 1)


def is_white(piece):
    return piece.isupper()


class Position:
    def __init__(self, fen=START_FEN):
        fields = fen.split()
        if len(fields) < 4:
            raise ValueError(f"FEN needs at least four fields: {fen!r}")
        rows = fields[0].split("/")
        if len(rows) != 8:
            raise ValueError(f"FEN needs eight ranks: {fen!r}")
        self.sq = ["."] * 64
        for r, row in enumerate(rows):
            f = 0
            for c in row:
                if c.isdigit():
                    f += int(c)
                elif c in "PNBRQKpnbrqk" and f < 8:
                    self.sq[8 * (7 - r) + f] = c
                    f += 1
                else:
                    raise ValueError(f"bad rank {row!r} in FEN")
            if f != 8:
                raise ValueError(f"rank {row!r} does not hold eight squares")
        if self.sq.count("K") != 1 or self.sq.count("k") != 1:
            raise ValueError("FEN needs one king of each colour")
        self.white = fields[1] == "w"
        self.castling = "".join(c for c in "KQkq" if c in fields[2])
        self.ep = None if fields[3] == "-" else square_index(fields[3])
        self.halfmove = int(fields[4]) if len(fields) > 4 else 0
        self.fullmove = int(fields[5]) if len(fields) > 5 else 1

    def copy(self):
        p = Position.__new__(Position)
        p.sq = self.sq[:]
        p.white, p.castling, p.ep = self.white, self.castling, self.ep
        p.halfmove, p.fullmove = self.halfmove, self.fullmove
        return p

    def fen(self):
        rows = []
        for r in range(7, -1, -1):
            row, empty = "", 0
            for f in range(8):
                c = self.sq[8 * r + f]
                if c == ".":
                    empty += 1
                else:
                    row += (str(empty) if empty else "") + c
                    empty = 0
            rows.append(row + (str(empty) if empty else ""))
        ep = square_name(self.ep) if self.ep is not None else "-"
        return (f"{'/'.join(rows)} {'w' if self.white else 'b'} {self.castling or '-'} {ep} "
                f"{self.halfmove} {self.fullmove}")

    # --- attacks -----------------------------------------------------------

    def attacked(self, sq, by_white):
        """True when square `sq` is attacked by the side given."""
        f, r = sq % 8, sq // 8

        def at(ff, rr):
            return self.sq[8 * rr + ff] if 0 <= ff < 8 and 0 <= rr < 8 else None

        pawn, knight, bishop, rook, queen, king = "PNBRQK" if by_white else "pnbrqk"
        d = -1 if by_white else 1
        if at(f - 1, r + d) == pawn or at(f + 1, r + d) == pawn:
            return True
        if any(at(f + df, r + dr) == knight for df, dr in KNIGHT_STEPS):
            return True
        if any(at(f + df, r + dr) == king for df, dr in KING_STEPS):
            return True
        for dirs, sliders in ((BISHOP_DIRS, (bishop, queen)), (ROOK_DIRS, (rook, queen))):
            for df, dr in dirs:
                ff, rr = f + df, r + dr
                while at(ff, rr) == ".":
                    ff, rr = ff + df, rr + dr
                if at(ff, rr) in sliders:
                    return True
        return False

    def king_square(self, white):
        return self.sq.index("K" if white else "k")

    def in_check(self):
        return self.attacked(self.king_square(self.white), not self.white)

    # --- moves -------------------------------------------------------------

    def pseudo_moves(self, queen_only=False):
        """Every move of the side to move that follows the pieces' paths."""
        out = []
        own = is_white if self.white else str.islower
        promos = "q" if queen_only else "qrbn"
        for sq, piece in enumerate(self.sq):
            if piece == "." or not own(piece):
                continue
            f, r = sq % 8, sq // 8
            kind = piece.upper()
            if kind == "P":
                d, start, last = (1, 1, 7) if self.white else (-1, 6, 0)
                targets = []
                ahead = sq + 8 * d
                if self.sq[ahead] == ".":
                    targets.append(ahead)
                    if r == start and self.sq[ahead + 8 * d] == ".":
                        targets.append(ahead + 8 * d)
                for df in (-1, 1):
                    if 0 <= f + df < 8:
                        t = ahead + df
                        if (self.sq[t] != "." and not own(self.sq[t])) or t == self.ep:
                            targets.append(t)
                for t in targets:
                    if t // 8 == last:
                        out.extend(square_name(sq) + square_name(t) + p for p in promos)
                    else:
                        out.append(square_name(sq) + square_name(t))
                continue
            if kind in "NK":
                steps = KNIGHT_STEPS if kind == "N" else KING_STEPS
                for df, dr in steps:
                    ff, rr = f + df, r + dr
                    if 0 <= ff < 8 and 0 <= rr < 8:
                        t = 8 * rr + ff
                        if self.sq[t] == "." or not own(self.sq[t]):
                            out.append(square_name(sq) + square_name(t))
                if kind == "K":
                    out.extend(self.castling_moves())
                continue
            dirs = {"B": BISHOP_DIRS, "R": ROOK_DIRS, "Q": BISHOP_DIRS + ROOK_DIRS}[kind]
            for df, dr in dirs:
                ff, rr = f + df, r + dr
                while 0 <= ff < 8 and 0 <= rr < 8:
                    t = 8 * rr + ff
                    if self.sq[t] != "." and own(self.sq[t]):
                        break
                    out.append(square_name(sq) + square_name(t))
                    if self.sq[t] != ".":
                        break
                    ff, rr = ff + df, rr + dr
        return out

    def castling_moves(self):
        """Castling: rights kept, squares between empty, the king's path safe."""
        out = []
        rank = 0 if self.white else 56
        king, rook = ("K", "R") if self.white else ("k", "r")
        if self.sq[rank + 4] != king:
            return out
        enemy = not self.white
        for right, rook_sq, between, path in (("K", 7, (5, 6), (4, 5, 6)),
                                              ("Q", 0, (1, 2, 3), (4, 3, 2))):
            if (right if self.white else right.lower()) not in self.castling:
                continue
            if self.sq[rank + rook_sq] != rook:
                continue
            if any(self.sq[rank + b] != "." for b in between):
                continue
            if any(self.attacked(rank + s, enemy) for s in path):
                continue
            out.append(square_name(rank + 4) + square_name(rank + path[2]))
        return out

    def play(self, move):
        """Plays a move (assumed legal) on this position."""
        a, b = square_index(move[0:2]), square_index(move[2:4])
        piece, target = self.sq[a], self.sq[b]
        kind = piece.upper()
        self.halfmove = 0 if kind == "P" or target != "." else self.halfmove + 1
        if kind == "P" and b == self.ep and a % 8 != b % 8:
            self.sq[b - 8 if self.white else b + 8] = "."
        if kind == "K" and abs(b - a) == 2:
            rf, rt = (a + 3, a + 1) if b > a else (a - 4, a - 1)
            self.sq[rt], self.sq[rf] = self.sq[rf], "."
        self.sq[b], self.sq[a] = piece, "."
        if kind == "P" and b // 8 in (0, 7):
            letter = move[4] if len(move) > 4 else "q"
            self.sq[b] = letter.upper() if self.white else letter.lower()
        for corner, rights in ((4, "KQ"), (7, "K"), (0, "Q"), (60, "kq"), (63, "k"), (56, "q")):
            if a == corner or b == corner:
                self.castling = "".join(c for c in self.castling if c not in rights)
        self.ep = (a + b) // 2 if kind == "P" and abs(b - a) == 16 else None
        if not self.white:
            self.fullmove += 1
        self.white = not self.white

    def legal_moves(self, queen_only=False):
        out = []
        for m in self.pseudo_moves(queen_only):
            p = self.copy()
            p.play(m)
            if not p.attacked(p.king_square(not p.white), p.white):
                out.append(m)
        return out

    def repetition_key(self):
        """The position for repetition: pieces, side, rights, and the
        en-passant square only when a capture there is legal."""
        ep = self.ep
        if ep is not None and not any(m[2:4] == square_name(ep) and
                                      self.sq[square_index(m[0:2])].upper() == "P"
                                      for m in self.legal_moves()):
            ep = None
        return ("".join(self.sq), self.white, self.castling, ep)

    def insufficient_material(self):
        """Neither side can ever mate: bare kings, one minor piece, or
        bishops that all stand on squares of one colour."""
        pieces = [(sq, p) for sq, p in enumerate(self.sq) if p not in ".Kk"]
        if any(p.upper() in "PRQ" for _, p in pieces):
            return False
        if len(pieces) <= 1:
            return True
        if all(p.upper() == "B" for _, p in pieces):
            return len({(sq % 8 + sq // 8) % 2 for sq, _ in pieces}) == 1
        return False

    # --- notation ----------------------------------------------------------

    def san(self, move):
        """Standard algebraic notation of a legal move, with + or #."""
        a, b = square_index(move[0:2]), square_index(move[2:4])
        piece = self.sq[a]
        kind = piece.upper()
        capture = self.sq[b] != "." or (kind == "P" and a % 8 != b % 8)
        if kind == "K" and abs(b - a) == 2:
            text = "O-O" if b > a else "O-O-O"
        elif kind == "P":
            text = (move[0] + "x" if capture else "") + move[2:4]
            if len(move) > 4:
                text += "=" + move[4].upper()
        else:
            rivals = [m for m in self.legal_moves() if m[2:4] == move[2:4] and m[0:2] != move[0:2]
                      and self.sq[square_index(m[0:2])] == piece]
            hint = ""
            if rivals:
                if all(m[0] != move[0] for m in rivals):
                    hint = move[0]
                elif all(m[1] != move[1] for m in rivals):
                    hint = move[1]
                else:
                    hint = move[0:2]
            text = kind + hint + ("x" if capture else "") + move[2:4]
        after = self.copy()
        after.play(move)
        if after.in_check():
            text += "#" if not after.legal_moves() else "+"
        return text


def perft(position, depth, queen_only=False):
    """The number of legal move paths of `depth` plies."""
    if depth == 0:
        return 1
    moves = position.legal_moves(queen_only)
    if depth == 1:
        return len(moves)
    total = 0
    for m in moves:
        p = position.copy()
        p.play(m)
        total += perft(p, depth - 1, queen_only)
    return total
