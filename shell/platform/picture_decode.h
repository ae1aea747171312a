// Decoding JPEG and PNG files into Pictures with libjpeg and libpng. A file
// is read once, whole, as every file the program reads (ReadFileBytes), and
// decoded from memory, so the decoders need no file of the system's. Every
// failure (missing file, damaged or truncated data, absurd size) returns
// false with a message that names the file; nothing is thrown or aborted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "picture.h"

// The largest picture file that is read at all: a picture of
// kMaxPicturePixels stored without any compression fits, with room to spare.
constexpr size_t kMaxPictureFileBytes = size_t{256} << 20;

// Reads a picture file whole, or returns false with a message naming the
// file; anything but a regular file is refused unopened.
bool ReadPictureFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error);

// Decodes a PNG or JPEG file, told apart by its first bytes.
bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error);
// Decodes a PNG file; transparency (alpha channel or tRNS) is kept.
bool DecodePngFile(const std::string& path, Picture& picture, std::string& error);
// Decodes a JPEG file (grey, colour or CMYK); every pixel is opaque.
bool DecodeJpegFile(const std::string& path, Picture& picture, std::string& error);

// The same for the `size` bytes of a file already read; `name` is the
// picture's name, in messages too.
bool DecodePictureBytes(const unsigned char* data, size_t size, const std::string& name,
                        Picture& picture, std::string& error);
bool DecodePngBytes(const unsigned char* data, size_t size, const std::string& name,
                    Picture& picture, std::string& error);
bool DecodeJpegBytes(const unsigned char* data, size_t size, const std::string& name,
                     Picture& picture, std::string& error);

// True when a width and height are within kMaxPictureSide and kMaxPicturePixels.
bool PictureSizeAcceptable(int64_t width, int64_t height);
