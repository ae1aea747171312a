// Decoding JPEG and PNG pictures on Windows with the Windows Imaging
// Component, from the bytes the file services read (so the program carries
// no image library of its own). Before WIC sees a file, its structure is
// checked as strictly as libpng and libjpeg check it on other systems: a PNG
// must have every chunk whole with a matching checksum and end in IEND, a
// JPEG must reach its end marker. A decoder that pads a cut file with grey
// would otherwise show half a picture.
#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "picture_decode.h"
#include "read_file.h"
#include "texts.h"

namespace {

// Far more than any picture within kMaxPicturePixels needs compressed.
constexpr size_t kLargestPictureFile = size_t{256} << 20;

// Holds one COM interface and releases it.
template <class T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_ != nullptr) p_->Release();
  }
  T** Put() { return &p_; }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

uint32_t Big32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t Crc32(const unsigned char* data, size_t size) {
  static uint32_t table[256];
  if (table[1] == 0) {
    for (uint32_t n = 0; n < 256; n++) {
      uint32_t c = n;
      for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

bool IsPng(const std::vector<unsigned char>& b) {
  return b.size() >= 8 && std::memcmp(b.data(), kPngSignature, 8) == 0;
}

bool IsJpeg(const std::vector<unsigned char>& b) {
  return b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}

std::string SizeTooLarge(uint32_t width, uint32_t height) {
  return "size " + std::to_string(width) + "x" + std::to_string(height) + " is too large";
}

// The header's size is acceptable, every chunk is whole and its checksum
// matches, up to IEND. Returns "" or the reason.
std::string PngDamage(const std::vector<unsigned char>& b) {
  if (b.size() >= 33 && std::memcmp(&b[12], "IHDR", 4) == 0 &&
      !PictureSizeAcceptable(Big32(&b[16]), Big32(&b[20])))
    return SizeTooLarge(Big32(&b[16]), Big32(&b[20]));
  size_t at = 8;
  while (at + 12 <= b.size()) {
    const uint32_t length = Big32(&b[at]);
    if (length > b.size() - at - 12) return "the file is truncated";
    if (Crc32(&b[at + 4], length + 4) != Big32(&b[at + 8 + length])) return "a chunk is damaged";
    if (std::memcmp(&b[at + 4], "IEND", 4) == 0) return "";
    at += 12 + length;
  }
  return "the file is truncated";
}

// The frame header's size, read from the segments before the first scan.
bool JpegSize(const std::vector<unsigned char>& b, uint32_t& width, uint32_t& height) {
  size_t at = 2;
  while (at + 9 <= b.size() && b[at] == 0xFF) {
    const unsigned char marker = b[at + 1];
    if (marker == 0xDA) return false;
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      height = (uint32_t{b[at + 5]} << 8) | b[at + 6];
      width = (uint32_t{b[at + 7]} << 8) | b[at + 8];
      return true;
    }
    at += 2 + ((size_t{b[at + 2]} << 8) | b[at + 3]);
  }
  return false;
}

// The frame's size is acceptable (read here, because a decoder may set
// aside memory for the whole frame first), and the end marker follows the
// first scan: inside the compressed data a 0xFF byte is always followed by
// 0x00 or a restart marker, so the first 0xFFD9 after the scan begins is
// the end.
std::string JpegDamage(const std::vector<unsigned char>& b) {
  uint32_t width = 0, height = 0;
  if (JpegSize(b, width, height) && !PictureSizeAcceptable(width, height))
    return SizeTooLarge(width, height);
  bool scan = false;
  for (size_t i = 2; i + 1 < b.size(); i++) {
    if (b[i] != 0xFF) continue;
    if (b[i + 1] == 0xDA) scan = true;
    if (b[i + 1] == 0xD9 && scan) return "";
  }
  return "the file is truncated";
}

std::string HexResult(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// Decodes with WIC into straight BGRA and premultiplies as the other
// systems' decoders do, so the pixels are the same. Returns "" or the reason.
std::string DecodeWithWic(const std::vector<unsigned char>& bytes, Picture& picture) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string reason;
  {
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    HRESULT r = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(factory.Put()));
    if (SUCCEEDED(r)) r = factory->CreateStream(stream.Put());
    if (SUCCEEDED(r))
      r = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    if (SUCCEEDED(r))
      r = factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           decoder.Put());
    if (SUCCEEDED(r)) r = decoder->GetFrame(0, frame.Put());
    if (SUCCEEDED(r)) r = frame->GetSize(&width, &height);
    if (SUCCEEDED(r) && !PictureSizeAcceptable(width, height)) {
      reason = SizeTooLarge(width, height);
    } else {
      if (SUCCEEDED(r)) r = factory->CreateFormatConverter(converter.Put());
      if (SUCCEEDED(r))
        r = converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                  WICBitmapDitherTypeNone, nullptr, 0.0,
                                  WICBitmapPaletteTypeCustom);
      std::vector<uint32_t> pixels;
      if (SUCCEEDED(r)) {
        pixels.resize(static_cast<size_t>(width) * height);
        r = converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                                  reinterpret_cast<BYTE*>(pixels.data()));
      }
      if (FAILED(r)) {
        reason = "the data is damaged (" + HexResult(r) + ")";
      } else {
        // BGRA bytes in memory are 0xAARRGGBB values, not yet premultiplied.
        for (uint32_t& p : pixels)
          p = PremultipliedArgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24);
        picture.width = static_cast<int>(width);
        picture.height = static_cast<int>(height);
        picture.pixels = std::move(pixels);
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return reason;
}

}  // namespace

bool PictureSizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

bool DecodePictureFile(const std::string& path, Picture& picture, std::string& error) {
  std::vector<unsigned char> bytes;
  FileError failure;
  if (!ReadFileBytes(path.c_str(), kLargestPictureFile, bytes, failure)) {
    error = Fill(Tr("cannot open picture \"%1\": %2"), {path, failure.message});
    return false;
  }
  std::string reason;
  const bool png = IsPng(bytes);
  if (!png && !IsJpeg(bytes)) {
    error = Fill(Tr("picture \"%1\" is neither a PNG nor a JPEG file"), {path});
    return false;
  }
  reason = png ? PngDamage(bytes) : JpegDamage(bytes);
  if (reason.empty()) reason = DecodeWithWic(bytes, picture);
  if (!reason.empty()) {
    error = Fill(png ? Tr("cannot decode PNG picture \"%1\": %2") : Tr("cannot decode JPEG picture \"%1\": %2"),
                 {path, reason});
    return false;
  }
  picture.name = path;
  return true;
}
