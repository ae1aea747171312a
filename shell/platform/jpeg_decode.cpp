// JPEG decoding with libjpeg. libjpeg's default error handler ends the
// process; ours keeps the message and jumps back with longjmp into
// ReadJpegRows, where no object with a destructor is created after setjmp.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "picture_decode.h"
#include "texts.h"

namespace {

struct JpegErrorManager {
  jpeg_error_mgr base;  // first, so that cinfo->err points at the whole record
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool truncated;
};

// Fatal errors: keep libjpeg's message and jump back.
void OnJpegError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings: libjpeg pads a file that ends early with grey; we take note and
// refuse the picture afterwards. Other warnings are ignored.
void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
    reinterpret_cast<JpegErrorManager*>(cinfo->err)->truncated = true;
  }
}

// Decodes the whole file into `samples` (RGB, or CMYK when `cmyk`). Returns
// false with the message in the error manager on any error.
bool ReadJpegRows(const unsigned char* data, size_t size, jpeg_decompress_struct& cinfo,
                  JpegErrorManager& errors, std::vector<JSAMPLE>& samples, int& width, int& height,
                  bool& cmyk) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (!PictureSizeAcceptable(cinfo.image_width, cinfo.image_height)) {
    std::snprintf(errors.message, sizeof errors.message, "%s",
                  Fill(Tr("size %1x%2 is too large"),
                       {std::to_string(cinfo.image_width), std::to_string(cinfo.image_height)})
                      .c_str());
    return false;
  }
  cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  const size_t stride = static_cast<size_t>(width) * cinfo.output_components;
  samples.resize(stride * height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = samples.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

// Decodes a JPEG file into opaque ARGB.
bool DecodeJpegBytes(const unsigned char* data, size_t size, const std::string& name,
                     Picture& picture, std::string& error) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegErrorManager errors;
  std::memset(&errors, 0, sizeof errors);
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegError;
  errors.base.emit_message = OnJpegMessage;
  std::vector<JSAMPLE> samples;
  int width = 0, height = 0;
  bool cmyk = false;
  const bool ok = ReadJpegRows(data, size, cinfo, errors, samples, width, height, cmyk);
  const bool adobeInverted = cinfo.saw_Adobe_marker != 0;
  jpeg_destroy_decompress(&cinfo);
  if (!ok || errors.truncated) {
    error = Fill(Tr("cannot decode JPEG picture \"%1\": %2"),
                 {name, ok ? std::string(Tr("the file ends early")) : std::string(errors.message)});
    return false;
  }
  picture.width = width;
  picture.height = height;
  picture.name = name;
  picture.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    if (cmyk) {
      const JSAMPLE* p = &samples[i * 4];
      // Adobe files store CMYK inverted (255 means no ink).
      unsigned c = p[0], m = p[1], y = p[2], k = p[3];
      if (!adobeInverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      picture.pixels[i] = PremultipliedArgb(c * k / 255, m * k / 255, y * k / 255, 255);
    } else {
      const JSAMPLE* p = &samples[i * 3];
      picture.pixels[i] = PremultipliedArgb(p[0], p[1], p[2], 255);
    }
  }
  return true;
}
