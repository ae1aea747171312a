// Drawing on the Win32 platform: pictures written as PNG files, loaded,
// drawn into a canvas, presented, and read back from the presented buffer.
#include "test_images.h"
#include "win32_test_support.h"

namespace {

class Win32Drawing : public Win32Test {
 protected:
  void SetUp() override {
    window = platform.OpenWindow("Korvin 4", 40, 50, 200, 200, WindowKind::Resizable, 0);
    canvas = platform.AddCanvas(window, 0, 0, 200, 200, true);
    white = Load("white.png", 1, 1, SolidRgba(1, 1, 255, 255, 255, 255));
    red = Load("red.png", 1, 1, SolidRgba(1, 1, 255, 0, 0, 255));
    platform.SetDrawTarget(canvas);
    Drain();
  }
  Handle Load(const std::string& file, int w, int h, const std::vector<uint8_t>& rgba) {
    const std::string path = ScratchPath(file);
    WriteRgbaPng(path, w, h, rgba);
    std::string error;
    const Handle picture = platform.LoadPicture(path, &error);
    EXPECT_NE(picture, 0) << error;
    return picture;
  }
  // The presented pixel at logical coordinates.
  uint32_t At(int x, int y) {
    const Picture shown = platform.PresentedPixels(canvas);
    const double scale = platform.ScaleOf(canvas);
    return shown.At(static_cast<int>(x * scale), static_cast<int>(y * scale));
  }
  static int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
  }
  Handle window = 0, canvas = 0, white = 0, red = 0;
};

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

TEST_F(Win32Drawing, NewCanvasShowsTheWindowBackground) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const uint32_t expected = 0xFF000000u | (uint32_t{GetRValue(face)} << 16) |
                            (uint32_t{GetGValue(face)} << 8) | GetBValue(face);
  EXPECT_EQ(At(100, 100), expected);
  const Picture shown = platform.PresentedPixels(canvas);
  EXPECT_EQ(shown.width, static_cast<int>(200 * platform.ScaleOf(canvas)));
}

TEST_F(Win32Drawing, StretchedPictureFillsItsRectangle) {
  std::vector<uint8_t> halves = SolidRgba(2, 1, 255, 0, 0, 255);
  halves[4] = 0, halves[6] = 255;  // right pixel blue
  const Handle pair = Load("pair.png", 2, 1, halves);
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  platform.DrawPictureStretched(pair, 20, 40, 100, 50);
  platform.DrawPicture(red, 150, 150);  // own size: one pixel
  platform.Present();
  EXPECT_EQ(At(30, 60), kRed);
  EXPECT_EQ(At(110, 80), kBlue);
  EXPECT_EQ(At(10, 30), kWhite);  // outside the rectangle
  EXPECT_EQ(At(121, 60), kWhite);
  EXPECT_EQ(At(150, 150), kRed);
  EXPECT_EQ(At(151, 151), kWhite);
  // Smooth filtering: the middle of the stretched pair is a mixture.
  const uint32_t middle = At(70, 65);
  EXPECT_GT(Channel(middle, 16), 40);
  EXPECT_GT(Channel(middle, 0), 40);
}

TEST_F(Win32Drawing, AlphaBlendsOverWhatIsThere) {
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  platform.SetDrawAlpha(0.4);
  platform.DrawPictureStretched(red, 0, 0, 50, 50);
  platform.SetDrawAlpha(0.7);
  platform.DrawPictureStretched(red, 50, 0, 50, 50);
  // A half-transparent picture at alpha 0.5 covers a quarter.
  const Handle ghost = Load("ghost.png", 1, 1, SolidRgba(1, 1, 0, 0, 0, 128));
  platform.SetDrawAlpha(0.5);
  platform.DrawPictureStretched(ghost, 100, 0, 50, 50);
  platform.SetDrawAlpha(1.0);
  platform.Present();
  EXPECT_EQ(At(25, 25), 0xFFFF9999u);   // 0.6 of white stays: 153
  EXPECT_EQ(At(75, 25), 0xFFFF4C4Cu);   // 0.3 of white: 76
  EXPECT_EQ(At(125, 25), 0xFFBFBFBFu);  // three quarters: 191
  EXPECT_EQ(At(175, 25), kWhite);
}

TEST_F(Win32Drawing, WithoutBlendingPixelsReplaceWhatIsThere) {
  const Handle clear = Load("clear.png", 1, 1, SolidRgba(1, 1, 0, 0, 0, 0));
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.DrawPictureStretched(clear, 0, 0, 50, 50);  // blended: nothing changes
  platform.SetAlphaBlending(false);
  platform.DrawPictureStretched(clear, 50, 0, 50, 50);  // replaced: transparent
  platform.FillRectangle(100, 0, 50, 50, 0, 0, 255);
  platform.Present();
  EXPECT_EQ(At(25, 25), kRed);
  EXPECT_EQ(At(75, 10), 0u);
  EXPECT_EQ(At(125, 10), kBlue);
}

TEST_F(Win32Drawing, OnlyPresentShowsTheBackBufferAndRaisesNoPaint) {
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.Present();
  platform.DrawPictureStretched(white, 0, 0, 200, 200);
  EXPECT_EQ(At(100, 100), kRed);  // not presented yet
  platform.Present();
  EXPECT_FALSE(PaintOwed(canvas));
  EXPECT_EQ(At(100, 100), kWhite);
  Drain();
  // The window system's own repaint is reported, and shows the frame again.
  InvalidateRect(Hwnd(canvas), nullptr, FALSE);
  EXPECT_TRUE(PaintOwed(canvas));
  EXPECT_EQ(CountOf(Drain(), EventId::GadgetPaint, canvas), 1);
  EXPECT_EQ(At(100, 100), kWhite);
}

TEST_F(Win32Drawing, CanvasGrowingKeepsWhatWasDrawn) {
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.Present();
  platform.SetWindowShape(window, 40, 50, 300, 260);
  const std::vector<Event> events = Drain();
  EXPECT_EQ(CountOf(events, EventId::WindowSize, window), 1);
  EXPECT_EQ(CountOf(events, EventId::GadgetPaint, canvas), 1);
  const Picture shown = platform.PresentedPixels(canvas);
  EXPECT_EQ(shown.width, static_cast<int>(300 * platform.ScaleOf(canvas)));
  EXPECT_EQ(At(100, 100), kRed);
  EXPECT_NE(At(250, 100), kRed);  // the new area: the background
  // Shrinking exposes nothing: the size event alone tells the program.
  platform.SetWindowShape(window, 40, 50, 150, 150);
  EXPECT_FALSE(PaintOwed(canvas));
  EXPECT_EQ(CountOf(Drain(), EventId::WindowSize, window), 1);
  EXPECT_EQ(At(100, 100), kRed);
}

// At scale 1 the companion is not needed; at 2 and more it serves.
TEST_F(Win32Drawing, DoubledCompanionServesDenseScreens) {
  WriteRgbaPng(ScratchPath("logo@2x.png"), 8, 6, SolidRgba(8, 6, 0, 0, 255, 255));
  const Handle logo = Load("logo.png", 4, 3, SolidRgba(4, 3, 255, 0, 0, 255));
  EXPECT_EQ(platform.PictureWidth(logo), 4);  // the program sees one picture
  platform.DrawPicture(logo, 10, 10);
  platform.Present();
  const bool dense = platform.ScaleOf(canvas) >= 2.0;
  EXPECT_EQ(At(11, 11), dense ? kBlue : kRed);
}

TEST_F(Win32Drawing, DrawingFarOutsideOrWithoutTargetIsHarmless) {
  platform.DrawPictureStretched(red, 0, 0, 200, 200);
  platform.DrawPictureStretched(white, 1 << 30, -(1 << 30), 1 << 30, 5);
  platform.DrawPictureStretched(white, -10, -10, 5, 5);
  platform.FillRectangle(-(1 << 30), 0, 1 << 30, 10, 0, 0, 255);
  platform.DrawPicture(9999, 0, 0);
  platform.Present();
  EXPECT_EQ(At(0, 0), kRed);
  platform.DestroyWindow(window);
  platform.DrawPicture(red, 0, 0);  // no target any more
  platform.Present();
  EXPECT_EQ(platform.PresentedPixels(canvas).width, 0);
}

}  // namespace
