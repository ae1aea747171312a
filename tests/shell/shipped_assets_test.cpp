// The pictures that ship beside the program decode and have the sizes and
// transparency the drawing rules are made for.
#include <gtest/gtest.h>

#include <string>

#include "picture_decode.h"

namespace {

Picture Load(const std::string& name) {
  Picture picture;
  std::string error;
  EXPECT_TRUE(DecodePictureFile(std::string(KORVIN_ASSET_DIR) + "/" + name, picture, error))
      << error;
  return picture;
}

int Alpha(const Picture& p, int x, int y) { return static_cast<int>(p.At(x, y) >> 24); }

TEST(ShippedAssets, SquarePicturesAreSquareAndLargeEnough) {
  for (const char* name : {"light.jpg", "dark.jpg"}) {
    const Picture p = Load(name);
    EXPECT_EQ(p.width, p.height) << name;
    EXPECT_GE(p.width, 128) << name;
  }
}

TEST(ShippedAssets, BannersAndOptionsPictureHaveTheirExactSizes) {
  for (const char* name : {"checkmate.png", "stalemate.png", "draw.png"}) {
    const Picture p = Load(name);
    EXPECT_EQ(p.width, 315) << name;
    EXPECT_EQ(p.height, 68) << name;
  }
  const Picture options = Load("chess.jpg");
  EXPECT_EQ(options.width, 320);
  EXPECT_EQ(options.height, 120);
}

// Each piece picture is stretched to width% x height% of a square; its own
// proportions match, so the figure keeps its shape, and its margins are
// transparent so that the square shows around it.
TEST(ShippedAssets, PiecePicturesFitTheirDrawingProportions) {
  const int widthPercent[7] = {0, 105, 110, 110, 105, 130, 130};
  const int heightPercent[7] = {0, 75, 90, 90, 85, 100, 100};
  for (int code : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}) {
    const std::string name = "fig" + std::to_string(code) + ".png";
    const Picture p = Load(name);
    const int kind = code > 8 ? code - 8 : code;
    EXPECT_GE(p.height, 256) << name;
    const double want = static_cast<double>(widthPercent[kind]) / heightPercent[kind];
    EXPECT_NEAR(static_cast<double>(p.width) / p.height, want, 0.02) << name;
    EXPECT_EQ(Alpha(p, 0, 0), 0) << name;
    EXPECT_EQ(Alpha(p, p.width - 1, 0), 0) << name;
    EXPECT_EQ(Alpha(p, p.width / 2, 0), 0) << name << ": no transparent margin on top";
    int opaque = 0;
    for (int y = 0; y < p.height; y += 4)
      for (int x = 0; x < p.width; x += 4) opaque += Alpha(p, x, y) == 255;
    EXPECT_GT(opaque, 100) << name << ": the figure itself is missing";
  }
}

}  // namespace
