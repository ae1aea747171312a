#include "file_error.h"

#include <utility>

FileError Failure(FileErrorKind kind, std::string message) { return FileError{kind, std::move(message)}; }

FileError SystemFailure(const char* what, const std::string& reason) {
  return Failure(FileErrorKind::System, std::string(what) + ": " + reason);
}

FileError NotRegular(FileKind kind) {
  const char* name = kind == FileKind::Directory ? "a directory"
                     : kind == FileKind::Pipe    ? "a named pipe"
                     : kind == FileKind::Socket  ? "a socket"
                     : kind == FileKind::Device  ? "a device"
                                                 : "not a file";
  return Failure(FileErrorKind::NotRegular, std::string("not a regular file (") + name + ")");
}

FileError TooLarge(size_t limit) {
  return Failure(FileErrorKind::TooLarge, "the file is larger than " + SizeInWords(limit));
}

FileError Prefixed(const char* what, FileError error) {
  error.message = std::string(what) + ": " + error.message;
  return error;
}

std::string SizeInWords(size_t bytes) {
  constexpr size_t kKilo = 1024, kMega = 1024 * 1024;
  if (bytes < kKilo) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < kMega) return std::to_string((bytes + kKilo - 1) / kKilo) + " KB";
  return std::to_string((bytes + kMega - 1) / kMega) + " MB";
}
