// The drawing arithmetic both platforms share: exact pixels of small
// synthetic pictures resampled, blended and filled.
#include "picture_ops.h"

#include <gtest/gtest.h>

#include <climits>

#include "picture_decode.h"
#include "test_images.h"

namespace {

Picture Make(int width, int height, std::vector<uint32_t> pixels) {
  Picture p;
  p.width = width;
  p.height = height;
  p.pixels = std::move(pixels);
  return p;
}

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

PixelRows RowsOf(Picture& p) { return PixelRows{p.pixels.data(), p.width, p.height}; }

TEST(PictureResample, TwoByTwoAveragesToOnePixelRoundingHalvesUp) {
  const Picture source = Make(
      2, 2,
      {Argb(255, 10, 0, 255), Argb(255, 20, 0, 255), Argb(255, 30, 0, 255), Argb(255, 42, 1, 255)});
  const Picture out = ResamplePixels(RowsOf(source), 1, 1);
  ASSERT_EQ(out.pixels.size(), 1u);
  EXPECT_EQ(out.pixels[0], Argb(255, 26, 0, 255));  // 102 / 4 = 25.5, 1 / 4 = 0.25
}

TEST(PictureResample, ShrinkingWeighsEachPixelByTheAreaItCovers) {
  // Three pixels into two: each target covers one and a half of them.
  const Picture source = Make(3, 1, {Argb(255, 0, 0, 0), Argb(255, 255, 0, 0), Argb(255, 0, 0, 0)});
  const Picture out = ResamplePixels(RowsOf(source), 2, 1);
  EXPECT_EQ(out.pixels, (std::vector<uint32_t>{Argb(255, 85, 0, 0), Argb(255, 85, 0, 0)}));
  // Four into two along the other axis: plain pairs.
  const Picture column = Make(
      1, 4, {Argb(255, 0, 0, 0), Argb(255, 0, 100, 0), Argb(255, 0, 0, 200), Argb(255, 0, 0, 100)});
  EXPECT_EQ(ResamplePixels(RowsOf(column), 1, 2).pixels,
            (std::vector<uint32_t>{Argb(255, 0, 50, 0), Argb(255, 0, 0, 150)}));
}

TEST(PictureResample, GrowingInterpolatesBetweenPixelCentresAndRepeatsTheEdges) {
  const Picture source = Make(2, 1, {Argb(255, 0, 0, 0), Argb(255, 0, 0, 255)});
  const Picture out = ResamplePixels(RowsOf(source), 4, 1);
  // Centres at -0.25, 0.25, 0.75 and 1.25 source pixels.
  EXPECT_EQ(out.pixels, (std::vector<uint32_t>{Argb(255, 0, 0, 0), Argb(255, 0, 0, 64),
                                               Argb(255, 0, 0, 191), Argb(255, 0, 0, 255)}));
  const Picture tall = ResamplePixels(RowsOf(source), 2, 3);
  for (int y = 0; y < 3; y++) {
    EXPECT_EQ(tall.At(0, y), source.At(0, 0));
    EXPECT_EQ(tall.At(1, y), source.At(1, 0));
  }
}

TEST(PictureResample, TransparencyAveragesPremultiplied) {
  // Opaque red beside a transparent pixel: half-transparent red, whose
  // colour is still no more than its alpha.
  const Picture source = Make(2, 1, {Argb(255, 255, 0, 0), 0});
  EXPECT_EQ(ResamplePixels(RowsOf(source), 1, 1).pixels[0], Argb(128, 128, 0, 0));
}

TEST(PictureResample, SameSizeIsACopyAndSizesBelowOneBecomeOne) {
  const Picture source = Make(2, 1, {Argb(255, 1, 2, 3), Argb(7, 6, 5, 4)});
  EXPECT_EQ(ResamplePixels(RowsOf(source), 2, 1).pixels, source.pixels);
  const Picture tiny = ResamplePixels(RowsOf(source), 0, -3);
  EXPECT_EQ(tiny.width, 1);
  EXPECT_EQ(tiny.height, 1);
  EXPECT_EQ(tiny.pixels.size(), 1u);
}

TEST(PictureBlend, DrawAlphaAndPictureAlphaMultiply) {
  EXPECT_EQ(AlphaLevel(0.4), 102);
  EXPECT_EQ(AlphaLevel(1.5), 255);
  EXPECT_EQ(AlphaLevel(-1.0), 0);
  Picture target = Make(3, 1, std::vector<uint32_t>(3, Argb(255, 255, 255, 255)));
  const Picture red = Make(1, 1, {Argb(255, 255, 0, 0)});
  BlendPixels(RowsOf(target), RowsOf(red), 0, 0, 102, true);
  EXPECT_EQ(target.pixels[0], Argb(255, 255, 153, 153));  // 0.6 of white stays
  // Half-transparent black at half alpha covers a quarter: 64 of 255.
  const Picture ghost = Make(1, 1, {Argb(128, 0, 0, 0)});
  BlendPixels(RowsOf(target), RowsOf(ghost), 1, 0, 128, true);
  EXPECT_EQ(target.pixels[1], Argb(255, 191, 191, 191));
  // A transparent pixel leaves what is there; so does alpha 0.
  BlendPixels(RowsOf(target), RowsOf(Make(1, 1, {0})), 2, 0, 255, true);
  BlendPixels(RowsOf(target), RowsOf(red), 2, 0, 0, true);
  EXPECT_EQ(target.pixels[2], Argb(255, 255, 255, 255));
}

TEST(PictureBlend, WithoutBlendingPixelsReplaceAtTheDrawAlpha) {
  Picture target = Make(2, 1, {Argb(255, 255, 0, 0), Argb(255, 0, 0, 200)});
  const Picture clear = Make(1, 1, {0});
  BlendPixels(RowsOf(target), RowsOf(clear), 0, 0, 255, false);
  EXPECT_EQ(target.pixels[0], 0u);  // transparency copied
  const Picture green = Make(1, 1, {Argb(255, 0, 255, 0)});
  BlendPixels(RowsOf(target), RowsOf(green), 1, 0, 51, false);  // 0.2
  EXPECT_EQ(target.pixels[1], Argb(255, 0, 51, 160));
}

TEST(PictureBlend, DrawingIsClippedToTheTarget) {
  Picture target = Make(2, 2, std::vector<uint32_t>(4, 0));
  const Picture square = Make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  BlendPixels(RowsOf(target), RowsOf(square), -1, -1, 255, false);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{5, 6, 8, 9}));
  BlendPixels(RowsOf(target), RowsOf(square), 1, 1, 255, false);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{5, 6, 8, 1}));
  BlendPixels(RowsOf(target), RowsOf(square), INT_MAX, INT_MIN, 255, false);
  BlendPixels(RowsOf(target), RowsOf(square), -3, 0, 255, false);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{5, 6, 8, 1}));
}

TEST(PictureFill, FillsTheClippedRectangleOpaque) {
  Picture target = Make(3, 2, std::vector<uint32_t>(6, 0));
  FillPixels(RowsOf(target), 1, -5, INT_MAX, 6, OpaquePixel(300, 128, -4));
  const uint32_t fill = Argb(255, 255, 128, 0);
  EXPECT_EQ(target.pixels, (std::vector<uint32_t>{0, fill, fill, 0, 0, 0}));
  FillPixels(RowsOf(target), INT_MIN, 0, 10, 10, fill);  // entirely outside
  EXPECT_EQ(target.pixels[0], 0u);
}

TEST(PictureNames, DoubledCompanionSitsBesideThePicture) {
  EXPECT_EQ(DoubledName("assets/fig1.png"), "assets/fig1@2x.png");
  EXPECT_EQ(DoubledName("C:\\Korvin\\chess.jpg"), "C:\\Korvin\\chess@2x.jpg");
  EXPECT_EQ(DoubledName("C:\\my.folder\\picture"), "");
  EXPECT_EQ(DoubledName("dir.d/picture"), "");
}

Picture Decoded(const std::string& path) {
  Picture p;
  std::string error;
  EXPECT_TRUE(DecodePictureFile(path, p, error)) << error;
  return p;
}

// The companion serves sizes beyond the picture's own, only with exactly
// twice its size; smaller sizes come from the picture itself.
TEST(PictureVersionsTest, DoubledCompanionServesLargerSizesOnly) {
  const std::string logo = ScratchPath("versions.png"), odd = ScratchPath("versions-odd.png");
  WriteRgbaPng(logo, 2, 2, SolidRgba(2, 2, 255, 0, 0, 255));
  WriteRgbaPng(ScratchPath("versions@2x.png"), 4, 4, SolidRgba(4, 4, 0, 0, 255, 255));
  WriteRgbaPng(odd, 2, 2, SolidRgba(2, 2, 255, 0, 0, 255));
  WriteRgbaPng(ScratchPath("versions-odd@2x.png"), 5, 4, SolidRgba(5, 4, 0, 0, 255, 255));
  const Picture normal = Decoded(logo), oddNormal = Decoded(odd);
  PictureVersions versions(logo), oddVersions(odd);
  EXPECT_EQ(&versions.ForSize(normal, 2, 2), &normal);
  EXPECT_EQ(versions.ForSize(normal, 1, 1).pixels[0], Argb(255, 255, 0, 0));
  EXPECT_EQ(versions.ForSize(normal, 4, 4).pixels[0], Argb(255, 0, 0, 255));
  EXPECT_EQ(versions.ForSize(normal, 3, 3).pixels[0], Argb(255, 0, 0, 255));
  EXPECT_EQ(oddVersions.ForSize(oddNormal, 4, 4).pixels[0], Argb(255, 255, 0, 0));
}

// Sizes asked for in turn, again and again, each come back at their size.
TEST(PictureVersionsTest, SizesGoingBackAndForthComeBackRight) {
  const std::string path = ScratchPath("kept.png");
  WriteRgbaPng(path, 4, 4, SolidRgba(4, 4, 10, 20, 30, 255));
  const Picture normal = Decoded(path);
  PictureVersions versions(path);
  for (const int side : {3, 2, 3, 1, 2, 3, 4, 1}) {
    const Picture& p = versions.ForSize(normal, side, side);
    EXPECT_EQ(p.width, side);
    EXPECT_EQ(p.height, side);
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(side * side));
    EXPECT_EQ(p.pixels.back(), Argb(255, 10, 20, 30));
  }
}

}  // namespace
