// The pictures that ship beside the program decode and have the sizes and
// transparency the drawing rules are made for.
#include <gtest/gtest.h>

#include <cstdlib>
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

// The pictures drawn at their own size have companions of exactly twice
// the size for dense screens, showing the same picture.
TEST(ShippedAssets, DoubledCompanionsAreTwiceTheSizeOfTheirPictures) {
  for (const char* name : {"checkmate", "stalemate", "draw", "chess"}) {
    const std::string ext = std::string(name) == "chess" ? ".jpg" : ".png";
    const Picture normal = Load(name + ext), doubled = Load(name + ("@2x" + ext));
    ASSERT_EQ(doubled.width, 2 * normal.width) << name;
    ASSERT_EQ(doubled.height, 2 * normal.height) << name;
    // Each 2 x 2 block of the companion averages to about the pixel it covers.
    long error = 0;
    for (int y = 0; y < normal.height; y++) {
      for (int x = 0; x < normal.width; x++) {
        for (int shift : {0, 8, 16}) {
          int sum = 0;
          for (int dy = 0; dy < 2; dy++)
            for (int dx = 0; dx < 2; dx++) sum += (doubled.At(2 * x + dx, 2 * y + dy) >> shift) & 255;
          error += std::abs(sum / 4 - static_cast<int>((normal.At(x, y) >> shift) & 255));
        }
      }
    }
    // Text drawn at each size and JPEG noise differ by a few levels; another
    // picture would differ by tens.
    EXPECT_LT(static_cast<double>(error) / (3.0 * normal.width * normal.height), 8.0) << name;
  }
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
