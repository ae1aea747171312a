// The constant tables of the evaluation. Each is indexed the way the engine
// already counts (mailbox squares 22..99, files 2..9, ring slots 1..24), so no
// index arithmetic is needed where they are read; every other entry is 0.
#pragma once

// Centre bonus of a knight or bishop on a square, either colour: 10 on d4, e4,
// d5 and e5, 5 on the twelve squares around them, 0 elsewhere.
extern const int centreTable[121];

// Weight of the pawn advancement term per file (a..h on 2..9) while the
// opponent still has 1500 or more material.
extern const int fileWeight[11];

// The ring of squares around a king, as mailbox offsets (slots 1..8 the
// adjacent squares, 9..24 those at distance two), and the value of each slot.
extern const int kingZoneOffset[25];
extern const int kingZoneWeight[25];

// The two decimal digits of every mailbox index 0..120: `file` (a..h on
// 2..9 for the playing squares) and `rank` (rank 1 on 2 .. rank 8 on 9), so
// that the evaluation reads them instead of dividing.
struct SquareDigits {
  int file[121];
  int rank[121];
};

constexpr SquareDigits MakeSquareDigits() {
  SquareDigits d{};
  for (int s = 0; s <= 120; s++) {
    d.file[s] = s % 10;
    d.rank[s] = s / 10;
  }
  return d;
}

inline constexpr SquareDigits squareDigits = MakeSquareDigits();
