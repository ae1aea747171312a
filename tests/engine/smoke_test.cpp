#include <gtest/gtest.h>
#include "engine_state.h"
TEST(EngineState, StartsWithOffBoardBorder) { CreateEngine(); EXPECT_EQ(E.board[21], kOffBoard); }
