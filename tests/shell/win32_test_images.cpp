// The picture files of test_images.h on Windows, where the tests have no
// libpng: PNG files written by hand, with stored (uncompressed) deflate
// blocks, which every decoder reads. Only what the Windows tests use is here.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "test_images.h"

namespace {

uint32_t Crc(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; i++) {
    crc ^= data[i];
    for (int k = 0; k < 8; k++) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

void PutBig(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBig(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig(out, Crc(&out[start], out.size() - start));
}

}  // namespace

std::string ScratchPath(const std::string& name) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring folder(temp, length);
  folder += L"korvin-win32-tests-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\" + std::wstring(name.begin(), name.end());
  const int size = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

void WriteRgbaPng(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> header;
  PutBig(header, static_cast<uint32_t>(width));
  PutBig(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
  Chunk(out, "IHDR", header);
  std::vector<uint8_t> raw;
  for (int y = 0; y < height; y++) {
    raw.push_back(0);  // no filter
    const auto row = rgba.begin() + static_cast<long>(y) * width * 4;
    raw.insert(raw.end(), row, row + width * 4);
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.insert(z.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                       static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    if (raw.empty()) break;
  }
  uint32_t a = 1, b = 0;
  for (const uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBig(z, (b << 16) | a);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  WriteBytes(path, out);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> SolidRgba(int width, int height, int r, int g, int b, int a) {
  std::vector<uint8_t> out;
  for (int i = 0; i < width * height; i++)
    out.insert(out.end(), {static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                           static_cast<uint8_t>(b), static_cast<uint8_t>(a)});
  return out;
}
