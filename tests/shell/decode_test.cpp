#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>

#include "picture_decode.h"
#include "test_images.h"

namespace {

int Alpha(uint32_t argb) { return static_cast<int>(argb >> 24); }
int Red(uint32_t argb) { return static_cast<int>((argb >> 16) & 255); }
int Green(uint32_t argb) { return static_cast<int>((argb >> 8) & 255); }
int Blue(uint32_t argb) { return static_cast<int>(argb & 255); }

// Expects decoding to fail with a message that names the file.
void ExpectRefused(const std::string& path) {
  Picture picture;
  std::string error;
  EXPECT_FALSE(DecodePictureFile(path, picture, error)) << path;
  EXPECT_NE(error.find(path), std::string::npos) << error;
}

TEST(PictureDecode, PngKeepsTransparencyPremultiplied) {
  // Row 0: opaque red, half-transparent green; row 1: transparent, opaque white.
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 200, 0, 128,
                                     10, 20, 30, 0,  255, 255, 255, 255};
  const std::string path = ScratchPath("alpha.png");
  WriteRgbaPng(path, 2, 2, rgba);
  Picture picture;
  std::string error;
  ASSERT_TRUE(DecodePictureFile(path, picture, error)) << error;
  EXPECT_EQ(picture.width, 2);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(Alpha(picture.At(1, 0)), 128);
  EXPECT_EQ(Green(picture.At(1, 0)), (200 * 128 + 127) / 255);  // premultiplied
  EXPECT_EQ(picture.At(0, 1), 0u);
  EXPECT_EQ(picture.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(picture.name, path);
}

TEST(PictureDecode, PalettePngWithTransparencyChunk) {
  const std::string path = ScratchPath("palette.png");
  WritePalettePng(path);
  Picture picture;
  std::string error;
  ASSERT_TRUE(DecodePngFile(path, picture, error)) << error;
  EXPECT_EQ(picture.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(Alpha(picture.At(1, 0)), 128);
  EXPECT_EQ(Red(picture.At(1, 0)), 128);
}

TEST(PictureDecode, JpegColourAndGrey) {
  const std::string colour = ScratchPath("solid.jpg");
  WriteSolidJpeg(colour, 24, 16, 200, 100, 50);
  Picture picture;
  std::string error;
  ASSERT_TRUE(DecodePictureFile(colour, picture, error)) << error;
  ASSERT_EQ(picture.width, 24);
  ASSERT_EQ(picture.height, 16);
  for (uint32_t p : picture.pixels) {
    ASSERT_EQ(Alpha(p), 255);
    ASSERT_NEAR(Red(p), 200, 4);
    ASSERT_NEAR(Green(p), 100, 4);
    ASSERT_NEAR(Blue(p), 50, 4);
  }
  const std::string grey = ScratchPath("grey.jpg");
  WriteSolidJpeg(grey, 8, 8, 90, 0, 0, true);
  ASSERT_TRUE(DecodeJpegFile(grey, picture, error)) << error;
  EXPECT_NEAR(Red(picture.At(3, 3)), 90, 2);
  EXPECT_EQ(Red(picture.At(3, 3)), Blue(picture.At(3, 3)));
}

TEST(PictureDecode, KindComesFromContentNotName) {
  const std::string path = ScratchPath("really_png.jpg");
  WriteRgbaPng(path, 3, 1, SolidRgba(3, 1, 1, 2, 3, 255));
  Picture picture;
  std::string error;
  EXPECT_TRUE(DecodePictureFile(path, picture, error)) << error;
  EXPECT_EQ(picture.width, 3);
}

TEST(PictureDecode, MissingEmptyAndForeignFilesAreRefused) {
  ExpectRefused(ScratchPath("no_such_picture.png"));
  const std::string empty = ScratchPath("empty.png");
  WriteBytes(empty, {});
  ExpectRefused(empty);
  const std::string text = ScratchPath("text.jpg");
  WriteBytes(text, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  ExpectRefused(text);
}

TEST(PictureDecode, TruncatedFilesAreRefused) {
  const std::string png = ScratchPath("whole.png");
  WriteRgbaPng(png, 32, 32, SolidRgba(32, 32, 9, 8, 7, 200));
  std::vector<uint8_t> bytes = ReadBytes(png);
  for (size_t keep : {size_t{8}, size_t{30}, bytes.size() / 2, bytes.size() - 5}) {
    const std::string cut = ScratchPath("cut.png");
    WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    ExpectRefused(cut);
  }
  const std::string jpeg = ScratchPath("whole.jpg");
  WriteSolidJpeg(jpeg, 64, 64, 1, 2, 3);
  bytes = ReadBytes(jpeg);
  for (size_t keep : {size_t{3}, size_t{100}, bytes.size() / 2, bytes.size() - 2}) {
    const std::string cut = ScratchPath("cut.jpg");
    WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    ExpectRefused(cut);
  }
}

TEST(PictureDecode, CorruptedDataIsRefused) {
  const std::string png = ScratchPath("corrupt.png");
  WriteRgbaPng(png, 16, 16, SolidRgba(16, 16, 1, 2, 3, 4));
  std::vector<uint8_t> bytes = ReadBytes(png);
  bytes[bytes.size() - 20] ^= 0x5A;  // inside the image data: its CRC no longer matches
  WriteBytes(png, bytes);
  ExpectRefused(png);
  // A JPEG whose header segments are overwritten with noise.
  const std::string jpeg = ScratchPath("corrupt.jpg");
  WriteSolidJpeg(jpeg, 16, 16, 1, 2, 3);
  bytes = ReadBytes(jpeg);
  std::srand(7);
  for (size_t i = 3; i < 200 && i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(std::rand());
  WriteBytes(jpeg, bytes);
  ExpectRefused(jpeg);
}

// Writes a 32-bit big-endian value.
void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

TEST(PictureDecode, AbsurdDimensionsAreRefusedBeforeDecoding) {
  // PNG: IHDR claims 20000 x 20000 (with a correct CRC).
  const std::string png = ScratchPath("huge.png");
  WriteRgbaPng(png, 4, 4, SolidRgba(4, 4, 1, 1, 1, 255));
  std::vector<uint8_t> bytes = ReadBytes(png);
  PutBig32(bytes, 16, 20000);
  PutBig32(bytes, 20, 20000);
  PutBig32(bytes, 29, static_cast<uint32_t>(crc32(0, &bytes[12], 17)));
  WriteBytes(png, bytes);
  ExpectRefused(png);
  // JPEG: the frame header claims 9000 x 9000 (81 million pixels).
  const std::string jpeg = ScratchPath("huge.jpg");
  WriteSolidJpeg(jpeg, 8, 8, 1, 1, 1);
  bytes = ReadBytes(jpeg);
  size_t sof = 0;
  for (size_t i = 2; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  bytes[sof + 5] = 9000 >> 8, bytes[sof + 6] = 9000 & 255;  // height
  bytes[sof + 7] = 9000 >> 8, bytes[sof + 8] = 9000 & 255;  // width
  WriteBytes(jpeg, bytes);
  Picture picture;
  std::string error;
  EXPECT_FALSE(DecodeJpegFile(jpeg, picture, error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

// The bytes already read decode as the file does, under the name given.
TEST(PictureDecode, BytesInMemoryDecodeAsTheirFile) {
  const std::string png = ScratchPath("memory.png");
  WriteRgbaPng(png, 3, 2, SolidRgba(3, 2, 10, 20, 30, 128));
  const std::string jpeg = ScratchPath("memory.jpg");
  WriteSolidJpeg(jpeg, 8, 8, 200, 100, 50);
  for (const std::string& path : {png, jpeg}) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    Picture fromFile, fromBytes;
    std::string error;
    ASSERT_TRUE(DecodePictureFile(path, fromFile, error)) << error;
    ASSERT_TRUE(DecodePictureBytes(bytes.data(), bytes.size(), "in memory", fromBytes, error)) << error;
    EXPECT_EQ(fromBytes.width, fromFile.width);
    EXPECT_EQ(fromBytes.pixels, fromFile.pixels);
    EXPECT_EQ(fromBytes.name, "in memory");
    // Cut short in memory, it is refused with its name.
    EXPECT_FALSE(DecodePictureBytes(bytes.data(), bytes.size() / 2, "half", fromBytes, error));
    EXPECT_NE(error.find("\"half\""), std::string::npos) << error;
  }
  Picture picture;
  std::string error;
  EXPECT_FALSE(DecodePngBytes(nullptr, 0, "nothing", picture, error));
  EXPECT_FALSE(DecodeJpegBytes(nullptr, 0, "nothing", picture, error));
}

// A named pipe, a device or a folder under a picture's name is a missing
// picture: refused unopened, so nothing waits on it; so is a file far too
// large for any picture, unread.
TEST(PictureDecode, OnlyRegularFilesOfAPicturesSizeAreRead) {
  const std::string pipe = ScratchPath("pipe.png");
  const std::string device = ScratchPath("zero.jpg");
  const std::string folder = ScratchPath("folder.png");
  for (const std::string& path : {pipe, device, folder}) std::filesystem::remove_all(path);
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0644));
  std::filesystem::create_symlink("/dev/zero", device);
  std::filesystem::create_directory(folder);
  const std::string huge = ScratchPath("huge.jpg");
  WriteSolidJpeg(huge, 8, 8, 1, 2, 3);
  std::filesystem::resize_file(huge, kMaxPictureFileBytes + 1);  // sparse: nothing is written
  struct Case {
    std::string path;
    const char* reason;
  };
  for (const Case& c : {Case{pipe, "not a regular file (a named pipe)"},
                        Case{device, "not a regular file (a device)"},
                        Case{folder, "not a regular file (a directory)"},
                        Case{huge, "the file is larger than 256 MB"}}) {
    Picture picture;
    std::string error;
    EXPECT_FALSE(DecodePictureFile(c.path, picture, error));
    EXPECT_EQ(error, "cannot open picture \"" + c.path + "\": " + c.reason);
  }
}

TEST(PictureDecode, SizeGuard) {
  EXPECT_TRUE(PictureSizeAcceptable(1, 1));
  EXPECT_TRUE(PictureSizeAcceptable(4000, 4000));
  EXPECT_FALSE(PictureSizeAcceptable(0, 5));
  EXPECT_FALSE(PictureSizeAcceptable(kMaxPictureSide + 1, 1));
  EXPECT_FALSE(PictureSizeAcceptable(9000, 9000));
}

}  // namespace
