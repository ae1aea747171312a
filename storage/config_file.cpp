#include "config_file.h"

#include <cstdint>
#include <string>
#include <vector>

#include "atomic_write.h"
#include "read_file.h"
#include "engine_state.h"
#include "storage_error.h"
#include "texts.h"

Settings settings;

namespace {

WindowGeometrySource geometrySource = nullptr;

// Little-endian, byte by byte, whatever the host's byte order.
int32_t ReadInt32(const unsigned char* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                     static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return static_cast<int32_t>(u);
}

void WriteInt32(unsigned char* p, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; i++) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

int ZeroOrOne(int value) { return value == 1 ? 1 : 0; }

}  // namespace

void SetWindowGeometrySource(WindowGeometrySource source) { geometrySource = source; }

bool LoadConfigBytes(const unsigned char* data, size_t size) {
  ClearStorageError();
  if (size < static_cast<size_t>(kConfigBytes))
    return SetStorageError(Tr("the file is too short to hold the settings: it is damaged"));
  settings.windowX = ReadInt32(data);
  settings.windowY = ReadInt32(data + 4);
  settings.windowWidth = ReadInt32(data + 8);
  settings.windowHeight = ReadInt32(data + 12);
  settings.humanPlaysBlack = ZeroOrOne(ReadInt32(data + 16));
  const int level = ReadInt32(data + 20);
  settings.level = level >= 1 && level <= 4 ? level : 1;
  settings.hideWelcome = ZeroOrOne(ReadInt32(data + 24));
  return true;
}

bool LoadConfig(const char* path) {
  ClearStorageError();
  std::vector<unsigned char> bytes;
  FileError error;
  if (!ReadFileBytes(path, kConfigBytes, bytes, error)) return SetStorageError(error);
  return LoadConfigBytes(bytes.data(), bytes.size());
}

void ApplyConfigDefaults(int desktopWidth, int desktopHeight) {
  settings.windowWidth = 400;
  settings.windowHeight = 400;
  settings.windowX = (desktopWidth - 400) / 2;
  settings.windowY = (desktopHeight - 400) / 2;
  settings.level = 1;
}

void ConfigToBytes(unsigned char bytes[kConfigBytes]) {
  int x = settings.windowX, y = settings.windowY;
  int width = settings.windowWidth, height = settings.windowHeight;
  int wx = 0, wy = 0, ww = 0, wh = 0;
  if (geometrySource != nullptr && geometrySource(wx, wy, ww, wh) && ww != 0) {
    x = wx;
    y = wy;
    width = ww;
    height = wh;
  }
  const int values[7] = {x, y, width, height, settings.humanPlaysBlack, settings.level,
                         settings.hideWelcome};
  for (int i = 0; i < 7; i++) WriteInt32(bytes + 4 * i, values[i]);
}

bool SaveConfig(const char* path) {
  ClearStorageError();
  unsigned char bytes[kConfigBytes];
  ConfigToBytes(bytes);
  FileError error;
  if (!WriteFileAtomically(path, bytes, kConfigBytes, error)) return SetStorageError(error);
  return true;
}
