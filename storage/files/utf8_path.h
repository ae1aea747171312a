// Names are UTF-8 everywhere in the program. A std::filesystem::path made
// from a plain string reads it in the system's narrow code page, which on
// Windows is not UTF-8, so a name goes in and comes out of a path only
// through these two.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}
