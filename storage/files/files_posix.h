// What the POSIX implementations of the file services share: the one place
// that turns an errno into a failure, and a file's type into its kind.
#pragma once

#include "file_error.h"

// SystemFailure(format, strerror(err)), of the kind the errno tells
// (ENOENT: NotFound, EEXIST: Exists, ELOOP: LinkLoop; System otherwise).
FileError ErrnoFailure(const char* format, int err);

// The kind of file a stat mode describes.
FileKind KindOfMode(unsigned mode);

struct FileIdentity;

// The file an open descriptor reads or writes.
FileIdentity IdentifyDescriptor(int descriptor);
