#include "file_error.h"

#include <utility>

#include "texts.h"

FileError Failure(FileErrorKind kind, std::string message) { return FileError{kind, std::move(message)}; }

FileError SystemFailure(const char* format, const std::string& reason) {
  return Failure(FileErrorKind::System, Fill(Tr(format), {reason}));
}

FileError NotRegular(FileKind kind) {
  const char* text = kind == FileKind::Directory ? Tr("not a regular file (a directory)")
                     : kind == FileKind::Pipe    ? Tr("not a regular file (a named pipe)")
                     : kind == FileKind::Socket  ? Tr("not a regular file (a socket)")
                     : kind == FileKind::Device  ? Tr("not a regular file (a device)")
                                                 : Tr("not a regular file (not a file)");
  return Failure(FileErrorKind::NotRegular, text);
}

FileError TooLarge(size_t limit) {
  return Failure(FileErrorKind::TooLarge, Fill(Tr("the file is larger than %1"), {SizeInWords(limit)}));
}

FileError Prefixed(const char* format, FileError error) {
  error.message = Fill(Tr(format), {error.message});
  return error;
}

std::string SizeInWords(size_t bytes) {
  constexpr size_t kKilo = 1024, kMega = 1024 * 1024;
  if (bytes < kKilo)
    return Fill(TrN("%1 byte", "%1 bytes", static_cast<unsigned long>(bytes)), {std::to_string(bytes)});
  if (bytes < kMega) return Fill(Tr("%1 KB"), {std::to_string((bytes + kKilo - 1) / kKilo)});
  return Fill(Tr("%1 MB"), {std::to_string((bytes + kMega - 1) / kMega)});
}
