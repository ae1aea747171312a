// PNG decoding with libpng. libpng reports errors by calling our handler,
// which jumps back with longjmp; the jump lands in ReadPngRows, where no
// object with a destructor is created after setjmp, so nothing is skipped.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "picture_decode.h"
#include "texts.h"

namespace {

struct PngErrorSink {
  char message[256];
};

// libpng's fatal-error handler: keeps the message and jumps back.
void OnPngError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<PngErrorSink*>(png_get_error_ptr(png));
  std::snprintf(sink->message, sizeof sink->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (bad ancillary chunks and the like) do not stop decoding.
void OnPngWarning(png_structp, png_const_charp) {}

// The bytes of the file, read from the start as libpng asks for them.
struct PngSource {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

// libpng's reader: a file that ends before libpng is done is damaged.
void ReadPngSource(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->size - source->offset) png_error(png, Tr("the file ends early"));
  std::memcpy(out, source->data + source->offset, length);
  source->offset += length;
}

// Reads the header and all rows as 8-bit RGBA into `rgba`. Returns false with
// a message in `sink` on any error. Only C calls and already constructed
// objects are used below setjmp.
bool ReadPngRows(PngSource& source, png_structp png, png_infop info, std::vector<png_byte>& rgba,
                 std::vector<png_bytep>& rows, png_uint_32& width, png_uint_32& height,
                 PngErrorSink& sink) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, ReadPngSource);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  if (!PictureSizeAcceptable(width, height)) {
    std::snprintf(sink.message, sizeof sink.message, "%s",
                  Fill(Tr("size %1x%2 is too large"), {std::to_string(width), std::to_string(height)})
                      .c_str());
    return false;
  }
  const int colourType = png_get_color_type(png, info);
  png_set_expand(png);  // palette to RGB, small grey depths to 8 bits, tRNS to alpha
  png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque alpha where there is none
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t stride = static_cast<size_t>(width) * 4;
  if (png_get_rowbytes(png, info) != stride) {
    std::snprintf(sink.message, sizeof sink.message, "%s", Tr("unexpected row layout"));
    return false;
  }
  rgba.resize(stride * height);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgba.data() + stride * y;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

// Decodes a PNG file into premultiplied ARGB, keeping its transparency.
bool DecodePngBytes(const unsigned char* data, size_t size, const std::string& name,
                    Picture& picture, std::string& error) {
  PngErrorSink sink = {};
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr) {
    png_destroy_read_struct(png ? &png : nullptr, nullptr, nullptr);
    error = Fill(Tr("cannot decode picture \"%1\": out of memory"), {name});
    return false;
  }
  std::vector<png_byte> rgba;
  std::vector<png_bytep> rows;
  png_uint_32 width = 0, height = 0;
  PngSource source = {data, size, 0};
  const bool ok = ReadPngRows(source, png, info, rgba, rows, width, height, sink);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) {
    error = Fill(Tr("cannot decode PNG picture \"%1\": %2"), {name, sink.message});
    return false;
  }
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.name = name;
  picture.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const png_byte* p = &rgba[i * 4];
    picture.pixels[i] = PremultipliedArgb(p[0], p[1], p[2], p[3]);
  }
  return true;
}
