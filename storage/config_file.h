// The configuration file "korvin.cfg": the settings record as seven signed
// 32-bit little-endian integers (windowX, windowY, windowWidth, windowHeight,
// humanPlaysBlack, level, hideWelcome), 28 bytes, no header.
#pragma once

#include <cstddef>

// The user's surroundings, kept in the configuration file: where the main
// window stood and how large it was, the side the human plays, the playing
// level and whether the welcome dialog is still wanted.
struct Settings {
  int windowX, windowY;
  int windowWidth, windowHeight;
  int humanPlaysBlack;
  int level;
  int hideWelcome;
};

// The one settings record of the process, zero-filled at the start.
extern Settings settings;

constexpr int kConfigBytes = 28;
constexpr const char* kConfigPath = "korvin.cfg";

// Reports the main window's current position and client size. Returns false
// when there is no window; a width of 0 means the window cannot tell.
using WindowGeometrySource = bool (*)(int& x, int& y, int& width, int& height);

// Installs the window's geometry report for SaveConfig; nullptr removes it.
void SetWindowGeometrySource(WindowGeometrySource source);

// Reads the settings from `path`. Returns false, changing no setting, when
// the file cannot be read, is not a regular file, or is not 28 bytes long
// (the reason is in StorageError()). A level outside 1..4 becomes 1, and humanPlaysBlack or
// hideWelcome other than 0 or 1 become 0.
bool LoadConfig(const char* path = "korvin.cfg");

// The same from bytes already in memory.
bool LoadConfigBytes(const unsigned char* data, size_t size);

// The first-run settings when LoadConfig fails: a 400 x 400 window centred
// on the desktop, level 1; humanPlaysBlack and hideWelcome are left alone.
void ApplyConfigDefaults(int desktopWidth, int desktopHeight);

// Writes the settings to `path` (atomically), with the window's current
// geometry when the window reports a width other than 0 and the stored
// geometry otherwise. Returns false with the reason in StorageError().
bool SaveConfig(const char* path = "korvin.cfg");

// The 28 bytes SaveConfig writes.
void ConfigToBytes(unsigned char bytes[kConfigBytes]);
