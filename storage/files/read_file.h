// Reading a small file whole, safely: every file the programs read is opened
// through OpenRegularFile, so that a named pipe, a device, a socket or a
// folder is refused before anything could wait on it, and so is a file
// larger than its format can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_identity.h"
#include "texts.h"

// The reason given for a file that does not exist, in English: the reason
// itself is Tr(kFileNotFound), in the user's language.
constexpr const char* kFileNotFound = TrLater("file not found");

// A size limit that admits any file.
constexpr size_t kAnySize = SIZE_MAX;

// A size as people say it: "28 bytes", "7 KB", "64 MB" (rounded up).
std::string SizeInWords(size_t bytes);

// "not a regular file (a named pipe)" and the like, for a file's mode.
std::string NotRegularReason(unsigned mode);

// Opens `path` for reading without blocking and returns its descriptor, or
// -1 with the reason in `error`: kFileNotFound, "not a regular file (a named
// pipe)" and the like, "the file is larger than 7 KB" (SizeInWords) when it
// holds more than `limit` bytes, or "cannot read: <system reason>". The
// caller closes the descriptor.
int OpenRegularFile(const char* path, size_t limit, std::string& error);

// Reads the whole of `path` into `data`; refused as OpenRegularFile refuses,
// and when it holds more than `limit` bytes. `identity`, when given,
// receives the file that was read.
bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   std::string& error, FileIdentity* identity = nullptr);

// Reads the first `limit` bytes of `path` into `data` (fewer when the file is
// shorter); a longer file is not refused, and `longer` tells whether it was.
bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, std::string& error);
