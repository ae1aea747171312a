// UTF-8 inside the program, UTF-16 at every Windows call: the two
// conversions, for any file that calls Windows with texts or paths. It needs
// nothing but <windows.h>; invalid sequences become U+FFFD either way, so a
// damaged name never stops a conversion.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

inline std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

inline std::string Utf8FromWide(const wchar_t* wide) {
  return wide != nullptr ? Utf8FromWide(std::wstring(wide)) : std::string();
}
