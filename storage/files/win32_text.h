// UTF-8 inside the program, UTF-16 at every Windows call: the two
// conversions, for any Win32 file of the program that calls Windows with
// texts or paths (it sits with the file services, the lowest floor that
// calls Windows), and the system's words for an error code. It needs nothing
// but <windows.h>; invalid sequences become U+FFFD either way, so a damaged
// name never stops a conversion.
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

// The system's own words for an error code ("Access is denied"), without
// the line break and full stop Windows ends them with.
inline std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length > 0 ? Utf8FromWide(std::wstring(buffer, length)) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' ||
                           text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(code);
  return text;
}
