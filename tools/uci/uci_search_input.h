// Commands that arrive while a search runs. They are taken strictly in the
// order they came: a stop ends the search that was running when it was read,
// isready is answered at once when nothing waits before it, quit stops the
// search, and every other line waits (in order) for the main loop.
#pragma once

// Starts looking at the input for a new search: the lines still waiting
// from before arrived after this search's go and are looked at first.
void BeginSearchInput();

// Looks at every line that has arrived, without waiting; installed as the
// search's poll hook (through a rate limit) and called once before it.
void PollSearchInput();

// After an infinite search the best move waits for stop (or quit, or the end
// of input); the lines that arrive meanwhile are taken as during the search.
void WaitForStop();

// Ends the running search at its next full-width node; the best finished
// root move stands.
void RequestStop();
