// Decoding JPEG and PNG files into Pictures with libjpeg and libpng. Every
// failure (missing file, damaged or truncated data, absurd size) returns
// false with a message that names the file; nothing is thrown or aborted.
#pragma once

#include <cstdio>
#include <string>

#include "picture.h"

// Opens a picture file for reading, or returns nullptr with a message naming
// the file; anything but a regular file is refused unopened.
FILE* OpenPictureFile(const std::string& path, std::string& error);

// Decodes a PNG or JPEG file, told apart by its first bytes.
bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error);
// Decodes a PNG file; transparency (alpha channel or tRNS) is kept.
bool DecodePngFile(const std::string& path, Picture& picture, std::string& error);
// Decodes a JPEG file (grey, colour or CMYK); every pixel is opaque.
bool DecodeJpegFile(const std::string& path, Picture& picture, std::string& error);

// True when a width and height are within kMaxPictureSide and kMaxPicturePixels.
bool PictureSizeAcceptable(int64_t width, int64_t height);
