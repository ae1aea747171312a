// Move ordering and the principal variation.
#pragma once

// Gives the previous iteration's move at this ply the top score while the
// search is still on that line; switches followPv off where the line ends.
void MarkPvMove();

// The untried move of this ply with the highest score (the earliest among
// equals), marked as tried; 0 when every move was tried.
int PickBestMove();

// Makes (from, to) followed by the child's line this ply's principal
// variation.
void UpdatePv(int from, int to);
