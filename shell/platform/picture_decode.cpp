#include "picture_decode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool PictureSizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// Reads the first bytes to tell a PNG from a JPEG, then hands the file to
// the matching decoder.
bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot open picture \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  unsigned char head[8] = {};
  const size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (got == 8 && std::memcmp(head, kPngSignature, 8) == 0) {
    return DecodePngFile(path, picture, error);
  }
  if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    return DecodeJpegFile(path, picture, error);
  }
  error = "picture \"" + path + "\" is neither a PNG nor a JPEG file";
  return false;
}
