// The pictures and drawing of QtPlatform (see platform.h for the contract
// and qt_platform.cpp for the rest of the platform).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "picture_decode.h"
#include "picture_ops.h"
#include "qt_platform.h"

namespace {

// Drawing coordinates far beyond any screen are refused rather than let
// overflow on their way to device pixels.
constexpr int kFarthestPixel = 1 << 24;

// A logical coordinate on a buffer of the given device pixel ratio: edges
// are rounded, so rectangles that meet in logical pixels meet in device ones.
int DevicePixel(int logical, qreal ratio) { return static_cast<int>(std::lround(logical * ratio)); }

// A decoded picture as a QImage of its own.
QImage ImageOf(const Picture& p) {
  const QImage view(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height,
                    static_cast<qsizetype>(p.width) * 4, QImage::Format_ARGB32_Premultiplied);
  return view.copy();
}

// The pixels of an image in the picture layout (a 32-bit format has no
// padding at the end of its rows).
ConstPixelRows RowsOf(const QImage& image) {
  return ConstPixelRows{reinterpret_cast<const uint32_t*>(image.constBits()), image.width(),
                        image.height()};
}
PixelRows RowsOf(QImage& image) {
  return PixelRows{reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height()};
}
}  // namespace

// Decodes with our own decoders and keeps a QImage copy for drawing. Its
// "@2x" companion is looked for only when a drawing first needs more pixels.
Handle QtPlatform::LoadPicture(const std::string& path, std::string* error) {
  const Handle handle = Platform::LoadPicture(path, error);
  if (handle == 0) return 0;
  Images& images = images_[handle];
  images.normal = ImageOf(*FindPicture(handle));
  images.doubledName = DoubledName(path);
  return handle;
}

// A companion counts only with exactly twice the picture's size.
void QtPlatform::LoadDoubled(Images& images) {
  const std::string name = std::move(images.doubledName);
  images.doubledName.clear();
  Picture doubled;
  std::string ignored;
  if (!name.empty() && DecodePictureFile(name, doubled, ignored) &&
      doubled.width == 2 * images.normal.width() && doubled.height == 2 * images.normal.height())
    images.doubled = ImageOf(doubled);
}

// The picture at exactly width x height device pixels: the decoded image
// when it has that size, else resampled from the larger of its two versions
// that the size needs (the shared resampler: area averaging when it
// shrinks), remembered for the next redraw.
const QImage& QtPlatform::ImageForSize(Images& images, int width, int height) {
  const bool larger = width > images.normal.width() || height > images.normal.height();
  if (larger && !images.doubledName.empty()) LoadDoubled(images);
  const bool useDoubled = larger && !images.doubled.isNull();
  const QImage& source = useDoubled ? images.doubled : images.normal;
  if (source.width() == width && source.height() == height) return source;
  const QSize size(width, height);
  for (size_t k = 0; k < images.recent.size(); k++) {
    if (images.recent[k].size != size) continue;
    if (k > 0) std::rotate(images.recent.begin(), images.recent.begin() + static_cast<long>(k),
                           images.recent.begin() + static_cast<long>(k) + 1);
    return images.recent.front().image;
  }
  QImage scaled = ImageOf(ResamplePixels(RowsOf(source), width, height));
  if (images.recent.size() == kResampledKept) images.recent.pop_back();
  images.recent.insert(images.recent.begin(), Resampled{size, std::move(scaled)});
  return images.recent.front().image;
}

void QtPlatform::SetDrawTarget(Handle canvas) {
  if (Canvas(canvas) != nullptr) target_ = canvas;
}

void QtPlatform::SetDrawAlpha(double alpha) { alpha_ = std::clamp(alpha, 0.0, 1.0); }

// Paints into the target's back buffer. Coordinates are canvas pixels; the
// picture is resampled for its rectangle in device pixels and then blended
// pixel for pixel (picture_ops.h, as every platform does), so a
// high-density screen gets full detail and nothing is filtered twice.
void QtPlatform::Draw(Handle picture, int x, int y, int w, int h, bool stretched) {
  QtCanvasWidget* canvas = Canvas(target_);
  const auto image = images_.find(picture);
  if (canvas == nullptr || image == images_.end()) return;
  if (!stretched) {
    w = image->second.normal.width();
    h = image->second.normal.height();
  }
  if (std::abs(x) > kFarthestPixel || std::abs(y) > kFarthestPixel || w <= 0 || h <= 0 ||
      w > kFarthestPixel || h > kFarthestPixel)
    return;
  canvas->FitBuffer();
  QImage& back = canvas->back;
  const qreal ratio = back.devicePixelRatio();
  const int left = DevicePixel(x, ratio), top = DevicePixel(y, ratio);
  const int width = DevicePixel(x + w, ratio) - left, height = DevicePixel(y + h, ratio) - top;
  if (width <= 0 || height <= 0 || left >= back.width() || top >= back.height() ||
      left + width <= 0 || top + height <= 0)
    return;
  const QImage& source = ImageForSize(image->second, width, height);
  BlendPixels(RowsOf(back), RowsOf(source), left, top, AlphaLevel(alpha_), blending_);
}

void QtPlatform::DrawPicture(Handle picture, int x, int y) { Draw(picture, x, y, 0, 0, false); }

void QtPlatform::DrawPictureStretched(Handle picture, int x, int y, int w, int h) {
  Draw(picture, x, y, w, h, true);
}

void QtPlatform::FillRectangle(int x, int y, int w, int h, int red, int green, int blue) {
  QtCanvasWidget* canvas = Canvas(target_);
  if (canvas == nullptr || w <= 0 || h <= 0 || std::abs(x) > kFarthestPixel ||
      std::abs(y) > kFarthestPixel || w > kFarthestPixel || h > kFarthestPixel)
    return;
  canvas->FitBuffer();
  QImage& back = canvas->back;
  const qreal ratio = back.devicePixelRatio();
  const int left = DevicePixel(x, ratio), top = DevicePixel(y, ratio);
  FillPixels(RowsOf(back), left, top, DevicePixel(x + w, ratio) - left,
             DevicePixel(y + h, ratio) - top, OpaquePixel(red, green, blue));
}

// The back buffer becomes the shown image (shared until the next drawing
// copies it) and the canvas is repainted at once.
void QtPlatform::Present() {
  QtCanvasWidget* canvas = Canvas(target_);
  if (canvas == nullptr) return;
  canvas->front = canvas->back;
  sink_.presenting = true;
  canvas->repaint();
  sink_.presenting = false;
}
