#include <unistd.h>

#include <cerrno>

#include "files_posix.h"
#include "set_aside.h"
#include "texts.h"

bool RemoveName(const std::string& path, FileError& error) {
  if (unlink(path.c_str()) == 0) return true;
  error = ErrnoFailure(kCannotDelete, errno);
  return false;
}
