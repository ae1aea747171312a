// Small picture files written at test time with libpng and libjpeg, and
// helpers to damage them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A scratch directory for one test program's files.
std::string ScratchPath(const std::string& name);
// Writes an 8-bit RGBA PNG; `rgba` has width * height * 4 bytes.
void WriteRgbaPng(const std::string& path, int width, int height,
                  const std::vector<uint8_t>& rgba);
// Writes a palette PNG whose colour index 1 is half transparent (tRNS).
void WritePalettePng(const std::string& path);
// Writes a JPEG of one colour (grey when `grey`), quality 95.
void WriteSolidJpeg(const std::string& path, int width, int height, int r, int g, int b,
                    bool grey = false);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// A w x h RGBA buffer of one colour.
std::vector<uint8_t> SolidRgba(int width, int height, int r, int g, int b, int a);
