#include "test_images.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <jpeglib.h>

namespace {
// The scratch directory of this test process, removed when the process ends.
struct ScratchDirectory {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("korvin_platform_test_" + std::to_string(::getpid()));
  ScratchDirectory() { std::filesystem::create_directories(path); }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
}  // namespace

std::string ScratchPath(const std::string& name) {
  static const ScratchDirectory scratch;
  return (scratch.path / name).string();
}

namespace {
void WritePng(const std::string& path, int width, int height, int colourType,
              const std::vector<uint8_t>& data, int bytesPerPixel, bool palette) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (palette) {
    png_color colours[2] = {{0, 0, 255}, {255, 0, 0}};
    png_set_PLTE(png, info, colours, 2);
    png_byte alpha[2] = {255, 128};
    png_set_tRNS(png, info, alpha, 2, nullptr);
  }
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, data.data() + static_cast<size_t>(y) * width * bytesPerPixel);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}
}  // namespace

void WriteRgbaPng(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
  WritePng(path, width, height, PNG_COLOR_TYPE_RGBA, rgba, 4, false);
}

// 2 x 1 pixels: index 0 (opaque blue), index 1 (red, alpha 128).
void WritePalettePng(const std::string& path) {
  WritePng(path, 2, 1, PNG_COLOR_TYPE_PALETTE, {0, 1}, 1, true);
}

void WriteSolidJpeg(const std::string& path, int width, int height, int r, int g, int b,
                    bool grey) {
  FILE* file = std::fopen(path.c_str(), "wb");
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * cinfo.input_components);
  for (int x = 0; x < width; ++x) {
    if (grey) {
      row[x] = static_cast<JSAMPLE>(r);
    } else {
      row[x * 3] = static_cast<JSAMPLE>(r);
      row[x * 3 + 1] = static_cast<JSAMPLE>(g);
      row[x * 3 + 2] = static_cast<JSAMPLE>(b);
    }
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> SolidRgba(int width, int height, int r, int g, int b, int a) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) {
    rgba.insert(rgba.end(), {static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                             static_cast<uint8_t>(b), static_cast<uint8_t>(a)});
  }
  return rgba;
}
