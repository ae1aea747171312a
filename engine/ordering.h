// Move ordering and the principal variation.
#pragma once

// Gives the previous iteration's move at this ply the top score while the
// search is still on that line; switches followPv off where the line ends.
void MarkPvMove();

// The untried move of this ply with the highest score (the earliest among
// equals), marked as tried; 0 when every move was tried.
int PickBestMove();

// The node's next move, the same one that PickBestMove would return, and
// marked as tried the same way; `taken` counts the moves the node has taken
// so far (0 before the first). Call it once per move of the node, no more,
// and leave the node's scores alone in between. The first two moves are
// picked one at a time, since a cut-off usually comes early; a node still
// going after its first move usually tries them all, so the rest are sorted
// once.
int NextMove(int& taken);

// How many of a node's moves NextMove picks one at a time before it sorts
// the rest.
constexpr int kSinglePicks = 2;

// Once NextMove has sorted the node's moves (from its third move on), the
// slot it returns `ahead` moves after the one it returned last (0: that one
// itself); 0 before then. The caller keeps count of the moves that are left.
int UpcomingMove(int taken, int ahead);

// Makes (from, to) followed by the child's line this ply's principal
// variation.
void UpdatePv(int from, int to);
