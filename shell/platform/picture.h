// A decoded picture: premultiplied ARGB, one 32-bit value per pixel
// (0xAARRGGBB, alpha in the top byte), rows top to bottom without padding.
// This is the layout of QImage::Format_ARGB32_Premultiplied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height values
  std::string name;              // the path it was loaded from

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Largest picture side and pixel count a decoder accepts; anything larger is
// taken for a damaged or hostile file and refused before memory is reserved.
constexpr int kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = 40 * 1000 * 1000;

// Packs straight (not premultiplied) RGBA into a premultiplied ARGB value.
inline uint32_t PremultipliedArgb(unsigned r, unsigned g, unsigned b, unsigned a) {
  if (a != 255) {
    r = (r * a + 127) / 255;
    g = (g * a + 127) / 255;
    b = (b * a + 127) / 255;
  }
  return (a << 24) | (r << 16) | (g << 8) | b;
}
