// Decoding with the Windows Imaging Component: the shipped pictures, exact
// pixels of a written one, and the refusal of damaged files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "picture_decode.h"
#include "test_images.h"

namespace {

const std::string kAssets = KORVIN_ASSET_DIR;

void ExpectRefused(const std::string& path, const std::string& reason = "") {
  Picture picture;
  std::string error;
  EXPECT_FALSE(DecodePictureFile(path, picture, error)) << path;
  EXPECT_NE(error.find(path), std::string::npos) << error;
  if (!reason.empty()) {
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

Picture Decoded(const std::string& path) {
  Picture picture;
  std::string error;
  EXPECT_TRUE(DecodePictureFile(path, picture, error)) << error;
  return picture;
}

bool Premultiplied(const Picture& p) {
  for (const uint32_t v : p.pixels) {
    const uint32_t a = v >> 24;
    if (((v >> 16) & 0xFF) > a || ((v >> 8) & 0xFF) > a || (v & 0xFF) > a) return false;
  }
  return true;
}

TEST(Win32Decode, ShippedPicturesAndTheirCompanions) {
  for (const char* name : {"light.jpg", "dark.jpg", "chess.jpg", "checkmate.png", "stalemate.png",
                           "draw.png", "fig1.png", "fig6.png", "fig9.png", "fig14.png"}) {
    const Picture p = Decoded(kAssets + "/" + name);
    EXPECT_GT(p.width, 0) << name;
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(p.width) * p.height) << name;
    EXPECT_TRUE(Premultiplied(p)) << name;
  }
  for (const char* base : {"chess", "checkmate", "stalemate", "draw"}) {
    const std::string ext = std::string(base) == "chess" ? ".jpg" : ".png";
    const Picture normal = Decoded(kAssets + "/" + base + ext);
    const Picture doubled = Decoded(kAssets + "/" + base + "@2x" + ext);
    EXPECT_EQ(doubled.width, 2 * normal.width) << base;
    EXPECT_EQ(doubled.height, 2 * normal.height) << base;
  }
  // A piece stands on a transparent ground; a square is opaque all over.
  const Picture pawn = Decoded(kAssets + "/fig1.png");
  EXPECT_EQ(pawn.At(0, 0) >> 24, 0u);
  EXPECT_EQ(pawn.At(pawn.width / 2, pawn.height - pawn.height / 4) >> 24, 255u);
  const Picture light = Decoded(kAssets + "/light.jpg");
  for (const uint32_t v : light.pixels) ASSERT_EQ(v >> 24, 255u);
}

TEST(Win32Decode, PngKeepsTransparencyPremultipliedAsOnOtherSystems) {
  const std::string path = ScratchPath("four.png");
  WriteRgbaPng(path, 2, 2, {255, 0, 0, 255, 10, 200, 30, 128, 1, 2, 3, 0, 255, 255, 255, 255});
  const Picture p = Decoded(path);
  ASSERT_EQ(p.width, 2);
  ASSERT_EQ(p.height, 2);
  EXPECT_EQ(p.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p.At(1, 0), (128u << 24) | (uint32_t{(10 * 128 + 127) / 255} << 16) |
                            (uint32_t{(200 * 128 + 127) / 255} << 8) | ((30 * 128 + 127) / 255));
  EXPECT_EQ(p.At(0, 1), 0u);
  EXPECT_EQ(p.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(p.name, path);
}

TEST(Win32Decode, MissingEmptyAndForeignFilesAreRefused) {
  ExpectRefused(ScratchPath("no_such_picture.png"));
  const std::string empty = ScratchPath("empty.png");
  WriteBytes(empty, {});
  ExpectRefused(empty, "neither a PNG nor a JPEG");
  const std::string text = ScratchPath("text.jpg");
  WriteBytes(text, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  ExpectRefused(text, "neither a PNG nor a JPEG");
}

TEST(Win32Decode, TruncatedFilesAreRefused) {
  const std::string png = ScratchPath("whole.png");
  WriteRgbaPng(png, 32, 32, SolidRgba(32, 32, 9, 8, 7, 200));
  std::vector<uint8_t> bytes = ReadBytes(png);
  for (size_t keep : {size_t{8}, size_t{30}, bytes.size() / 2, bytes.size() - 5}) {
    const std::string cut = ScratchPath("cut.png");
    WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    ExpectRefused(cut);
  }
  bytes = ReadBytes(kAssets + "/light.jpg");
  ASSERT_GT(bytes.size(), 200u);
  for (size_t keep : {size_t{3}, size_t{100}, bytes.size() / 2, bytes.size() - 2}) {
    const std::string cut = ScratchPath("cut.jpg");
    WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    ExpectRefused(cut);
  }
}

TEST(Win32Decode, CorruptedDataIsRefused) {
  const std::string png = ScratchPath("corrupt.png");
  WriteRgbaPng(png, 16, 16, SolidRgba(16, 16, 1, 2, 3, 4));
  std::vector<uint8_t> bytes = ReadBytes(png);
  bytes[bytes.size() - 20] ^= 0x5A;  // inside the image data: its checksum no longer matches
  WriteBytes(png, bytes);
  ExpectRefused(png, "damaged");
  // A JPEG whose header segments are overwritten with noise.
  const std::string jpeg = ScratchPath("corrupt.jpg");
  bytes = ReadBytes(kAssets + "/dark.jpg");
  std::srand(7);
  for (size_t i = 3; i < 600 && i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(std::rand());
  WriteBytes(jpeg, bytes);
  ExpectRefused(jpeg);
}

void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint32_t Crc(const uint8_t* data, size_t size) {
  uint32_t crc = ~0u;
  for (size_t i = 0; i < size; i++) {
    crc ^= data[i];
    for (int k = 0; k < 8; k++) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

TEST(Win32Decode, AbsurdDimensionsAreRefusedBeforeDecoding) {
  // IHDR claims 20000 x 20000, with a correct checksum.
  const std::string png = ScratchPath("huge.png");
  WriteRgbaPng(png, 4, 4, SolidRgba(4, 4, 1, 1, 1, 255));
  std::vector<uint8_t> bytes = ReadBytes(png);
  PutBig32(bytes, 16, 20000);
  PutBig32(bytes, 20, 20000);
  PutBig32(bytes, 29, Crc(&bytes[12], 17));
  WriteBytes(png, bytes);
  ExpectRefused(png, "too large");
  // The frame header of a JPEG claims 9000 x 9000 (81 million pixels).
  bytes = ReadBytes(kAssets + "/light.jpg");
  size_t sof = 0;
  for (size_t i = 2; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  bytes[sof + 5] = 9000 >> 8, bytes[sof + 6] = 9000 & 255;
  bytes[sof + 7] = 9000 >> 8, bytes[sof + 8] = 9000 & 255;
  const std::string jpeg = ScratchPath("huge.jpg");
  WriteBytes(jpeg, bytes);
  ExpectRefused(jpeg, "too large");
}

}  // namespace
