#include "picture_decode.h"

#include <cstring>

#include "read_file.h"
#include "texts.h"

namespace {

using BytesDecoder = bool (*)(const unsigned char* data, size_t size, const std::string& name,
                              Picture& picture, std::string& error);

bool DecodeFileWith(BytesDecoder decode, const std::string& path, Picture& picture,
                    std::string& error) {
  std::vector<unsigned char> bytes;
  return ReadPictureFile(path, bytes, error) && decode(bytes.data(), bytes.size(), path, picture, error);
}

}  // namespace

bool PictureSizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// Read like every other file the program reads: a named pipe or a device
// under a picture's name is a missing picture, and nothing waits on it.
bool ReadPictureFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
  FileError failure;
  if (ReadFileBytes(path.c_str(), kMaxPictureFileBytes, bytes, failure)) return true;
  error = Fill(Tr("cannot open picture \"%1\": %2"), {path, failure.message});
  return false;
}

bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error) {
  return DecodeFileWith(DecodePictureBytes, path, picture, error);
}

bool DecodePngFile(const std::string& path, Picture& picture, std::string& error) {
  return DecodeFileWith(DecodePngBytes, path, picture, error);
}

bool DecodeJpegFile(const std::string& path, Picture& picture, std::string& error) {
  return DecodeFileWith(DecodeJpegBytes, path, picture, error);
}

// The first bytes tell a PNG from a JPEG.
bool DecodePictureBytes(const unsigned char* data, size_t size, const std::string& name,
                        Picture& picture, std::string& error) {
  static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0)
    return DecodePngBytes(data, size, name, picture, error);
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
    return DecodeJpegBytes(data, size, name, picture, error);
  error = Fill(Tr("picture \"%1\" is neither a PNG nor a JPEG file"), {name});
  return false;
}
