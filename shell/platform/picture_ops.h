// The drawing arithmetic every platform shares, in plain C++ over buffers of
// premultiplied ARGB pixels (the layout of Picture): resampling a picture for
// the size it is drawn at, blending it into a back buffer with the draw
// alpha, and filling rectangles. Both platforms draw through these, so that
// a board looks the same pixel for pixel on either.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"

// Pixels of a buffer, rows top to bottom without padding (Picture's layout;
// also that of a QImage in Format_ARGB32_Premultiplied and of a 32-bit
// top-down DIB section).
struct PixelRows {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};
struct ConstPixelRows {
  const uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

inline ConstPixelRows RowsOf(const Picture& picture) {
  return ConstPixelRows{picture.pixels.data(), picture.width, picture.height};
}

// The picture resampled to width x height (both at least 1): each axis is
// area-averaged where it shrinks (every source pixel counts by the part of
// it a target pixel covers) and interpolated linearly between pixel centres
// where it grows. A size equal to the source's copies it unchanged.
Picture ResamplePixels(ConstPixelRows source, int width, int height);

// A draw alpha of 0.0..1.0 as the 0..255 the blending works with (clamped).
int AlphaLevel(double alpha);

// Draws `source` with its top-left corner at (left, top) of `target`,
// clipped to the target. With `blending`, each pixel is laid over what is
// there by its own alpha times `alpha` (0..255): d = s·a + d·(1 − sα·a).
// Without, it replaces what is there at opacity `alpha`: d = s·a + d·(1 − a)
// (so at 255 the source pixels, transparency and all, are copied).
void BlendPixels(PixelRows target, ConstPixelRows source, int left, int top, int alpha,
                 bool blending);

// Fills the rectangle (clipped to the target) with one pixel value.
void FillPixels(PixelRows target, int left, int top, int width, int height, uint32_t pixel);

// An opaque pixel of the colour (each 0..255, clamped).
uint32_t OpaquePixel(int red, int green, int blue);

// "dir/name@2x.ext" for "dir/name.ext": the companion with twice the pixels
// drawn on dense screens ("" when the name has no extension). Either
// separator is a folder's end, so Windows paths work too.
std::string DoubledName(const std::string& path);

// A loaded picture's versions for drawing: its "@2x" companion, looked for
// the first time a drawing needs more pixels than the picture has (it counts
// only with exactly twice the size), and the sizes it was last resampled to.
class PictureVersions {
 public:
  explicit PictureVersions(const std::string& path) : doubledName_(DoubledName(path)) {}
  // `normal` (the picture as decoded) at exactly width x height pixels:
  // itself when it has that size, else resampled from the smaller of its
  // versions that has the pixels for it, and kept for the next redraws.
  const Picture& ForSize(const Picture& normal, int width, int height);

 private:
  // Sizes kept: the board uses one at a time; one more spares a resize that
  // goes back and forth the work.
  static constexpr size_t kKept = 2;
  std::string doubledName_;  // until looked for
  Picture doubled_;
  std::vector<Picture> recent_;  // newest first
};
