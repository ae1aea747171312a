#include "picture_decode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "read_file.h"
#include "texts.h"

bool PictureSizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// Opened like every other file the program reads: a named pipe or a device
// under a picture's name is a missing picture, and nothing waits on it.
FILE* OpenPictureFile(const std::string& path, std::string& error) {
  std::string reason;
  const int fd = OpenRegularFile(path.c_str(), kAnySize, reason);
  FILE* file = fd >= 0 ? fdopen(fd, "rb") : nullptr;
  if (file != nullptr) return file;
  if (fd >= 0) {
    reason = std::strerror(errno);
    close(fd);
  }
  error = Fill(Tr("cannot open picture \"%1\": %2"), {path, reason});
  return nullptr;
}

// Reads the first bytes to tell a PNG from a JPEG, then hands the file to
// the matching decoder.
bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error) {
  FILE* file = OpenPictureFile(path, error);
  if (file == nullptr) return false;
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
  error = Fill(Tr("picture \"%1\" is neither a PNG nor a JPEG file"), {path});
  return false;
}
