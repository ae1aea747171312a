#include "picture_ops.h"

#include <algorithm>
#include <vector>

#include "picture_decode.h"

namespace {

// Weights are fractions of kOne; a target pixel's weights add up to it.
constexpr int kWeightBits = 12;
constexpr int kOne = 1 << kWeightBits;
// The horizontal pass keeps this many bits below the 8 of a channel, so
// that the vertical pass rounds once.
constexpr int kKeptBits = 8;

// Which source pixels make up one target pixel along an axis, and how much.
struct Tap {
  int first = 0;
  std::vector<int> weights;  // for first, first + 1, ...
};

// Area averaging: target pixel i covers [i·from/to, (i+1)·from/to) of the
// source. In units of 1/to of a source pixel every boundary is an integer,
// so the overlaps are exact.
std::vector<Tap> AveragingTaps(int from, int to) {
  std::vector<Tap> taps(static_cast<size_t>(to));
  for (int i = 0; i < to; i++) {
    const int64_t begin = int64_t{i} * from, end = begin + from;  // length `from`
    Tap& tap = taps[static_cast<size_t>(i)];
    tap.first = static_cast<int>(begin / to);
    for (int64_t j = tap.first; j * to < end; j++) {
      const int64_t overlap = std::min(end, (j + 1) * to) - std::max(begin, j * to);
      tap.weights.push_back(static_cast<int>(overlap * kOne / from));
    }
  }
  return taps;
}

// Linear interpolation: the centre of target pixel i lies at
// (2i + 1)·from / (2·to) − 1/2 in source pixels; beyond the outer centres
// the edge pixel is repeated.
std::vector<Tap> InterpolatingTaps(int from, int to) {
  std::vector<Tap> taps(static_cast<size_t>(to));
  const int64_t unit = int64_t{2} * to;
  for (int i = 0; i < to; i++) {
    const int64_t position = (int64_t{2} * i + 1) * from - to;  // in units of 1/unit
    Tap& tap = taps[static_cast<size_t>(i)];
    if (position <= 0) {
      tap.first = 0;
      tap.weights = {kOne};
      continue;
    }
    tap.first = static_cast<int>(position / unit);
    if (tap.first >= from - 1) {
      tap.first = from - 1;
      tap.weights = {kOne};
      continue;
    }
    const int right = static_cast<int>((position - tap.first * unit) * kOne / unit);
    tap.weights = {kOne - right, right};
  }
  return taps;
}

// The weights of each tap are rounded down: the largest takes the rest.
std::vector<Tap> TapsFor(int from, int to) {
  std::vector<Tap> taps = to < from ? AveragingTaps(from, to) : InterpolatingTaps(from, to);
  for (Tap& tap : taps) {
    int sum = 0;
    for (const int w : tap.weights) sum += w;
    *std::max_element(tap.weights.begin(), tap.weights.end()) += kOne - sum;
  }
  return taps;
}

int Channel(uint32_t pixel, int k) { return static_cast<int>((pixel >> (8 * k)) & 0xFF); }

// x·y/255 rounded, exact for x and y in 0..255.
uint32_t Times(uint32_t x, uint32_t y) {
  const uint32_t t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

// Every channel of a pixel times a level 0..255.
uint32_t Scaled(uint32_t pixel, uint32_t level) {
  uint32_t out = 0;
  for (int k = 0; k < 4; k++) out |= Times((pixel >> (8 * k)) & 0xFF, level) << (8 * k);
  return out;
}

// The part of a rectangle inside a target: [x0, x1) x [y0, y1), empty when
// x0 >= x1 or y0 >= y1. Computed in 64 bits, so no coordinate overflows.
struct Clip {
  int x0, y0, x1, y1;
};
Clip ClipTo(int width, int height, int left, int top, int w, int h) {
  const auto clamp = [](int64_t v, int limit) {
    return static_cast<int>(std::clamp<int64_t>(v, 0, limit));
  };
  return Clip{clamp(left, width), clamp(top, height), clamp(int64_t{left} + w, width),
              clamp(int64_t{top} + h, height)};
}

}  // namespace

Picture ResamplePixels(ConstPixelRows source, int width, int height) {
  Picture out;
  out.width = std::max(width, 1);
  out.height = std::max(height, 1);
  if (source.width <= 0 || source.height <= 0 || source.pixels == nullptr) {
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    return out;
  }
  if (out.width == source.width && out.height == source.height) {
    out.pixels.assign(source.pixels,
                      source.pixels + static_cast<size_t>(source.width) * source.height);
    return out;
  }
  const std::vector<Tap> across = TapsFor(source.width, out.width);
  const std::vector<Tap> down = TapsFor(source.height, out.height);
  // Rows resampled across, four channels with kKeptBits more precision.
  std::vector<int32_t> rows(static_cast<size_t>(source.height) * out.width * 4);
  for (int y = 0; y < source.height; y++) {
    const uint32_t* line = source.pixels + static_cast<size_t>(y) * source.width;
    int32_t* row = &rows[static_cast<size_t>(y) * out.width * 4];
    for (int x = 0; x < out.width; x++) {
      const Tap& tap = across[static_cast<size_t>(x)];
      for (int k = 0; k < 4; k++) {
        int32_t sum = 0;
        for (size_t j = 0; j < tap.weights.size(); j++)
          sum += Channel(line[static_cast<size_t>(tap.first) + j], k) * tap.weights[j];
        row[x * 4 + k] = (sum + (1 << (kWeightBits - kKeptBits - 1))) >> (kWeightBits - kKeptBits);
      }
    }
  }
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  constexpr int kShift = kWeightBits + kKeptBits;
  for (int y = 0; y < out.height; y++) {
    const Tap& tap = down[static_cast<size_t>(y)];
    for (int x = 0; x < out.width; x++) {
      uint32_t pixel = 0;
      for (int k = 0; k < 4; k++) {
        int32_t sum = 0;
        for (size_t j = 0; j < tap.weights.size(); j++)
          sum +=
              rows[((static_cast<size_t>(tap.first) + j) * out.width + x) * 4 + k] * tap.weights[j];
        const int32_t value = std::clamp((sum + (1 << (kShift - 1))) >> kShift, 0, 255);
        pixel |= static_cast<uint32_t>(value) << (8 * k);
      }
      out.pixels[static_cast<size_t>(y) * out.width + x] = pixel;
    }
  }
  return out;
}

int AlphaLevel(double alpha) { return static_cast<int>(std::clamp(alpha, 0.0, 1.0) * 255.0 + 0.5); }

void BlendPixels(PixelRows target, ConstPixelRows source, int left, int top, int alpha,
                 bool blending) {
  const uint32_t level = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  const Clip c = ClipTo(target.width, target.height, left, top, source.width, source.height);
  for (int y = c.y0; y < c.y1; y++) {
    uint32_t* d = target.pixels + static_cast<size_t>(y) * target.width;
    const uint32_t* s = source.pixels + static_cast<size_t>(y - top) * source.width;
    for (int x = c.x0; x < c.x1; x++) {
      const uint32_t from = s[x - left];
      const uint32_t pixel = level == 255 ? from : Scaled(from, level);
      // What of the pixel already there shows through.
      const uint32_t through = 255 - (blending ? pixel >> 24 : level);
      if (through == 0)
        d[x] = pixel;
      else if (through != 255 || !blending)
        d[x] = pixel + Scaled(d[x], through);
    }
  }
}

void FillPixels(PixelRows target, int left, int top, int width, int height, uint32_t pixel) {
  const Clip c = ClipTo(target.width, target.height, left, top, width, height);
  for (int y = c.y0; y < c.y1; y++) {
    uint32_t* row = target.pixels + static_cast<size_t>(y) * target.width;
    std::fill(row + c.x0, row + c.x1, pixel);
  }
}

uint32_t OpaquePixel(int red, int green, int blue) {
  const auto byte = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
  return 0xFF000000u | (byte(red) << 16) | (byte(green) << 8) | byte(blue);
}

std::string DoubledName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(0, dot) + "@2x" + path.substr(dot);
}

const Picture& PictureVersions::ForSize(const Picture& normal, int width, int height) {
  const bool larger = width > normal.width || height > normal.height;
  if (larger && !doubledName_.empty()) {
    Picture doubled;
    std::string ignored;
    if (DecodePictureFile(doubledName_, doubled, ignored) && doubled.width == 2 * normal.width &&
        doubled.height == 2 * normal.height)
      doubled_ = std::move(doubled);
    doubledName_.clear();
  }
  const Picture& source = larger && doubled_.width > 0 ? doubled_ : normal;
  if (source.width == width && source.height == height) return source;
  for (size_t k = 0; k < recent_.size(); k++) {
    if (recent_[k].width != width || recent_[k].height != height) continue;
    std::rotate(recent_.begin(), recent_.begin() + static_cast<long>(k),
                recent_.begin() + static_cast<long>(k) + 1);
    return recent_.front();
  }
  if (recent_.size() == kKept) recent_.pop_back();
  recent_.insert(recent_.begin(), ResamplePixels(RowsOf(source), width, height));
  return recent_.front();
}
