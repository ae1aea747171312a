// The board drawn by the window program on the real Qt platform (offscreen),
// at the smallest, a middle and a large square size, on a normal and (in the
// .hidpi run) a double-density screen: pictures keep their written places and
// sizes, and the pieces match a reference resampled with exact area
// averaging, where plain bilinear drawing does not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board_view.h"
#include "engine_state.h"
#include "picture_decode.h"
#include "qt_platform.h"
#include "qt_test_app.h"
#include "shell_state.h"
#include "test_images.h"
#include "startup.h"
#include "event_loop.h"

namespace fs = std::filesystem;

namespace {

// ----- The reference: exact area averaging in doubles --------------------------

// Premultiplied colour planes, four doubles (a, r, g, b) per pixel.
struct Plane {
  int width = 0, height = 0;
  std::vector<double> v;
  double* At(int x, int y) { return &v[(static_cast<size_t>(y) * width + x) * 4]; }
  const double* At(int x, int y) const { return &v[(static_cast<size_t>(y) * width + x) * 4]; }
};

Plane PlaneOf(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Plane p{image.width(), image.height(), {}};
  p.v.resize(static_cast<size_t>(p.width) * p.height * 4);
  for (int y = 0; y < p.height; y++) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < p.width; x++) {
      double* out = p.At(x, y);
      out[0] = qAlpha(line[x]), out[1] = qRed(line[x]), out[2] = qGreen(line[x]),
      out[3] = qBlue(line[x]);
    }
  }
  return p;
}

// Each target pixel is the mean of the source area it covers, with partly
// covered source pixels counted by the covered fraction. One axis at a time.
Plane ShrinkAxis(const Plane& in, int length, bool horizontal) {
  const int from = horizontal ? in.width : in.height;
  Plane out{horizontal ? length : in.width, horizontal ? in.height : length, {}};
  out.v.assign(static_cast<size_t>(out.width) * out.height * 4, 0.0);
  const double scale = static_cast<double>(from) / length;
  for (int i = 0; i < length; i++) {
    const double a = i * scale, b = (i + 1) * scale;
    for (int k = static_cast<int>(std::floor(a)); k < std::min(from, static_cast<int>(std::ceil(b))); k++) {
      const double weight = (std::min(b, k + 1.0) - std::max(a, static_cast<double>(k))) / scale;
      const int across = horizontal ? out.height : out.width;
      for (int j = 0; j < across; j++) {
        const double* s = horizontal ? in.At(k, j) : in.At(j, k);
        double* d = horizontal ? out.At(i, j) : out.At(j, i);
        for (int c = 0; c < 4; c++) d[c] += weight * s[c];
      }
    }
  }
  return out;
}

Plane Shrink(const Plane& in, int width, int height) {
  return ShrinkAxis(ShrinkAxis(in, width, true), height, false);
}

// Source-over of `picture` at (left, top), clipped to the board.
void Compose(Plane& board, const Plane& picture, int left, int top) {
  for (int y = 0; y < picture.height; y++) {
    for (int x = 0; x < picture.width; x++) {
      const int bx = left + x, by = top + y;
      if (bx < 0 || by < 0 || bx >= board.width || by >= board.height) continue;
      const double* s = picture.At(x, y);
      double* d = board.At(bx, by);
      for (int c = 0; c < 4; c++) d[c] = s[c] + d[c] * (1.0 - s[0] / 255.0);
    }
  }
}

struct Difference {
  double mean = 0;  // over every channel of every board pixel
  int largest = 0;
};

// Compares the board area (the reference's size) of two planes.
Difference Compare(const Plane& shown, const Plane& reference) {
  Difference diff;
  double sum = 0;
  for (int y = 0; y < reference.height; y++) {
    for (int x = 0; x < reference.width; x++) {
      const double *a = shown.At(x, y), *b = reference.At(x, y);
      for (int c = 0; c < 4; c++) {
        const double d = std::abs(a[c] - b[c]);
        sum += d;
        diff.largest = std::max(diff.largest, static_cast<int>(std::lround(d)));
      }
    }
  }
  diff.mean = sum / (4.0 * reference.width * reference.height);
  return diff;
}

// A picture file decoded as the program decodes it.
QImage Decoded(const std::string& file) {
  Picture picture;
  std::string error;
  EXPECT_TRUE(DecodePictureFile(file, picture, error)) << error;
  const QImage view(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                    picture.height, static_cast<qsizetype>(picture.width) * 4,
                    QImage::Format_ARGB32_Premultiplied);
  return view.copy();
}

// ----- The program on the Qt platform -------------------------------------------

class QtBoardTest : public testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = fs::current_path();
    char pattern[] = "/tmp/korvin-board-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    for (const auto& entry : fs::directory_iterator(KORVIN_ASSET_DIR))
      fs::copy_file(entry.path(), dir_ / entry.path().filename());
    fs::current_path(dir_);
  }
  void TearDown() override {
    if (shell.mainWindow != 0) ShutDown();
    fs::current_path(oldDir_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Starts the program with a board of 8 x `square` pixels at (0, 0) and
  // returns the presented board in device pixels.
  QImage StartWithBoard(int square) {
    const int values[7] = {0, 0, 8 * square, 8 * square, 0, 1, 1};
    std::ofstream out("korvin.cfg", std::ios::binary);
    for (int v : values)
      for (int b = 0; b < 4; b++) out.put(static_cast<char>((static_cast<unsigned>(v) >> (8 * b)) & 255));
    out.close();
    EXPECT_TRUE(StartUp(platform));
    EXPECT_EQ(shell.squareSize, square) << "the test screen is too small for this board";
    return platform.PresentedImage(shell.boardCanvas);
  }

  // Replaces the pictures by opaque one-colour ones, so that every drawn
  // rectangle shows in full.
  static void WriteSolidPictures() {
    WriteRgbaPng("light.jpg", 8, 8, SolidRgba(8, 8, 255, 255, 255, 255));
    WriteRgbaPng("dark.jpg", 8, 8, SolidRgba(8, 8, 200, 200, 200, 255));
    for (int code : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14})
      WriteRgbaPng("fig" + std::to_string(code) + ".png", 20, 20,
                   SolidRgba(20, 20, code * 15, 0, 255 - code * 15, 255));
  }

  // The board drawn from the pictures in the working folder, each picture
  // area-averaged to its device size (or, when `bilinear`, painted the plain
  // way with a smoothly filtering painter).
  Plane Reference(int square, qreal ratio, bool bilinear) const {
    const auto device = [ratio](int v) { return static_cast<int>(std::lround(v * ratio)); };
    const int side = device(8 * square);
    QImage painted(side, side, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::black);
    QPainter painter(&painted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Plane board{side, side, std::vector<double>(static_cast<size_t>(side) * side * 4, 0.0)};
    const auto draw = [&](const std::string& file, int x, int y, int w, int h) {
      const QImage picture = Decoded(file);
      const QRect r(device(x), device(y), device(x + w) - device(x), device(y + h) - device(y));
      if (bilinear) painter.drawImage(r, picture);
      else Compose(board, Shrink(PlaneOf(picture), r.width(), r.height()), r.x(), r.y());
    };
    for (int i = 0; i < 8; i++) {
      for (int j = 0; j < 8; j++) {
        const int s = 22 + 10 * i + j, left = j * square, top = (7 - i) * square;
        draw((i + j) % 2 == 0 ? "dark.jpg" : "light.jpg", left, top, square, square);
        const int piece = shell.displayBoard[s];
        if (piece == kEmpty) continue;
        const int pw = square * pieceWidthPercent[piece] / 100;
        const int ph = square * pieceHeightPercent[piece] / 100;
        draw("fig" + std::to_string(piece) + ".png", left + (square - pw) / 2, top + square - ph, pw, ph);
      }
    }
    painter.end();
    return bilinear ? PlaneOf(painted) : board;
  }

  // The bounding box, in logical pixels, of the pixels of one colour (give
  // or take the rounding of the resampling).
  static QRect Extent(const QImage& shown, QRgb colour) {
    const auto near = [](int a, int b) { return std::abs(a - b) <= 2; };
    QRect box;
    for (int y = 0; y < shown.height(); y++) {
      const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
      for (int x = 0; x < shown.width(); x++)
        if (near(qRed(line[x]), qRed(colour)) && near(qGreen(line[x]), qGreen(colour)) &&
            near(qBlue(line[x]), qBlue(colour)))
          box |= QRect(x, y, 1, 1);
    }
    const qreal r = shown.devicePixelRatio();
    return QRect(static_cast<int>(box.x() / r), static_cast<int>(box.y() / r),
                 static_cast<int>(box.width() / r), static_cast<int>(box.height() / r));
  }

  int argc = 1;
  char name[16] = "qt_board_tests";
  char* argv[2] = {name, nullptr};
  QtPlatform platform{argc, argv};
  fs::path dir_, oldDir_;
};

TEST_F(QtBoardTest, PicturesKeepTheirWrittenPlacesAndSizes) {
  WriteSolidPictures();
  struct Case {
    int square;
    QRect pawnH2, rookH1, queenD1;  // queenD1: only its left and top edges show
  };
  // A pawn is 105 % x 75 % of its square, a rook 105 % x 85 %, a queen
  // 130 % x 100 %; each is centred (halving toward zero) and stands on the
  // bottom edge. The h-file pieces overhang into the canvas beside the board.
  const Case cases[] = {
      {50, QRect(350 - 1, 300 + 13, 52, 37), QRect(350 - 1, 350 + 8, 52, 42), QRect(150 - 7, 350, 0, 50)},
      {20, QRect(140 + 0, 120 + 5, 21, 15), QRect(140 + 0, 140 + 3, 21, 17), QRect(60 - 3, 140, 0, 20)},
  };
  for (const Case& c : cases) {
    const QImage shown = StartWithBoard(c.square);
    const QRgb pawn = qRgb(15, 0, 240), rook = qRgb(60, 0, 195), queen = qRgb(75, 0, 180);
    // Only h2's pawn has its right edge uncovered: the other pawns' overhangs
    // are hidden by the square drawn after them.
    QRect pawns = Extent(shown, pawn);
    EXPECT_EQ(pawns.right(), c.pawnH2.right()) << "S = " << c.square;
    EXPECT_EQ(pawns.top(), c.pawnH2.top()) << "S = " << c.square;
    EXPECT_EQ(pawns.bottom(), c.pawnH2.bottom()) << "S = " << c.square;
    const QRect rooks = Extent(shown, rook);
    EXPECT_EQ(rooks.right(), c.rookH1.right()) << "S = " << c.square;
    EXPECT_EQ(rooks.top(), c.rookH1.top()) << "S = " << c.square;
    EXPECT_EQ(rooks.bottom(), c.rookH1.bottom()) << "S = " << c.square;
    const QRect queens = Extent(shown, queen);
    EXPECT_EQ(queens.left(), c.queenD1.left()) << "S = " << c.square;
    EXPECT_EQ(queens.top(), c.queenD1.top()) << "S = " << c.square;
    EXPECT_EQ(queens.height(), c.queenD1.height()) << "S = " << c.square;
    ShutDown();
  }
}

// Per channel, out of 255.
constexpr int kLargestError = 6;

TEST_F(QtBoardTest, PiecesMatchAnAreaAveragedReference) {
  for (const int square : {20, 50, 150}) {
    const QImage image = StartWithBoard(square);
    const qreal ratio = image.devicePixelRatio();
    const Plane shown = PlaneOf(image), reference = Reference(square, ratio, false);
    const Difference drawn = Compare(shown, reference);
    // Rounding to 8 bits alone gives a mean of about 0.25.
    EXPECT_LT(drawn.mean, 0.5) << "S = " << square << " x" << ratio;
    EXPECT_LE(drawn.largest, kLargestError) << "S = " << square << " x" << ratio;
    // The budget tells the filters apart: a plain bilinear drawing misses it
    // many times over wherever the pictures shrink a lot.
    if (square * ratio <= 100) {
      const Difference plain = Compare(Reference(square, ratio, true), reference);
      EXPECT_GT(plain.largest, 4 * kLargestError) << "S = " << square << " x" << ratio;
    }
    ShutDown();
  }
}

}  // namespace

namespace {

// Maximized by the window system, the window keeps the size it was given;
// the board is the largest square that fits, centred on a quiet background,
// and a click finds the square drawn under it. The stored size stays the
// normal square one.
TEST_F(QtBoardTest, AMaximizedWindowShowsTheLargestBoardCentred) {
  WriteSolidPictures();
  StartWithBoard(50);
  QWidget* window = platform.WidgetOf(shell.mainWindow);
  ASSERT_NE(window, nullptr);
  window->showMaximized();
  for (int round = 0; round < 20 && !window->isMaximized(); round++) platform.ProcessPending();
  ASSERT_TRUE(window->isMaximized());
  // The program takes the window system's events as its main loop would.
  Event event;
  for (int round = 0; round < 5; round++) {
    platform.ProcessPending();
    while (platform.PollEvent(event)) ASSERT_TRUE(HandleEvent(event));
  }
  const int w = window->width(), h = window->height();
  ASSERT_GT(w, 400);
  ASSERT_NE(w, h);
  const int side = std::min(w, h) / 8 * 8;
  EXPECT_EQ(shell.squareSize * 8, side);

  const QImage shown = platform.PresentedImage(shell.boardCanvas);
  // The board is where its squares and pieces are drawn: the background
  // covers the pieces' overhang beyond it.
  QRect board = Extent(shown, qRgb(255, 255, 255)) | Extent(shown, qRgb(200, 200, 200));
  for (int code : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14})
    board |= Extent(shown, qRgb(code * 15, 0, 255 - code * 15));
  EXPECT_NEAR(board.width(), side, 2);
  EXPECT_NEAR(board.height(), side, 2);
  EXPECT_NEAR(board.left(), (w - side) / 2, 2);
  EXPECT_NEAR(board.top(), (h - side) / 2, 2);
  // Beside the board: the quiet background, not the pieces' overhang.
  const QRgb beside = shown.pixel(static_cast<int>(2 * shown.devicePixelRatio()),
                                  static_cast<int>(h / 2 * shown.devicePixelRatio()));
  EXPECT_EQ(beside, qRgb(58, 44, 34));

  // A click on the middle of e2 as it is drawn selects e2.
  QWidget* canvas = platform.WidgetOf(shell.boardCanvas);
  const QPointF e2(board.left() + 4.5 * shell.squareSize, board.top() + 6.5 * shell.squareSize);
  QMouseEvent press(QEvent::MouseButtonPress, e2, canvas->mapToGlobal(e2), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas, &press);
  while (platform.PollEvent(event)) ASSERT_TRUE(HandleEvent(event));
  EXPECT_EQ(shell.selectedFrom, 22 + 10 + 4);

  ShutDown();
  std::ifstream in("korvin.cfg", std::ios::binary);
  unsigned char bytes[28] = {};
  in.read(reinterpret_cast<char*>(bytes), 28);
  EXPECT_EQ(bytes[8] | bytes[9] << 8, 400);   // the stored width
  EXPECT_EQ(bytes[12] | bytes[13] << 8, 400); // and height
}

}  // namespace
