#include "atomic_write.h"

#include "folder_sync.h"
#include "rename_file.h"
#include "texts.h"

namespace {

// Writes the bytes, cut short as a full disk would when the test hook says
// so.
bool WriteAll(TemporaryFile& temp, const unsigned char* data, size_t size, FileError& error) {
  const long failAfter = AtomicWriteFailAfter();
  if (failAfter < 0 || size <= static_cast<size_t>(failAfter))
    return WriteTemporary(temp, data, size, error);
  if (WriteTemporary(temp, data, static_cast<size_t>(failAfter), error))
    error = SystemFailure(kCannotWrite, "No space left on device");
  return false;
}

bool Lock(TemporaryFile& temp, FileError& error) {
  if (!FileFaultPlanned(FileFault::LockTaken)) return LockTemporary(temp, error);
  error = Failure(FileErrorKind::Busy, Tr("cannot write: another process holds the temporary file"));
  return false;
}

}  // namespace

std::string TemporaryPrefix(const std::string& path) { return path + ".tmp"; }

bool WriteTargetOf(const char* path, bool displaceOthers, std::string& target, FileError& error) {
  if (path == nullptr || *path == '\0') {
    error = Failure(FileErrorKind::NoName, Tr("cannot write: no file name"));
    return false;
  }
  if (!ResolveLinks(path, target, error)) {
    if (!displaceOthers) {
      error = Prefixed(kCannotWrite, error);
      return false;
    }
    target = path;
    return true;
  }
  const FileIdentity there = IdentifyName(target.c_str());
  if (!there.exists || there.kind == FileKind::Regular) return true;
  if (displaceOthers) {
    target = path;
    return true;
  }
  error = Prefixed(kCannotWrite, NotRegular(there.kind));
  return false;
}

// The temporary is locked while it exists, so that another run of the
// program clearing leftovers at its start never takes it for one.
bool StageTemporary(const std::string& target, const unsigned char* data, size_t size,
                    TemporaryFile& temp, FileIdentity& written, FileError& error) {
  if (!CreateTemporary(target, temp, error)) return false;
  if (Lock(temp, error) && WriteAll(temp, data, size, error) && FlushTemporary(temp, written, error))
    return true;
  DiscardTemporary(temp);
  return false;
}

// After the rename the bytes are on the disk already (they were flushed
// before): a close that fails then loses nothing, and is no failure of the
// write, whose new file is in place.
bool FinishWrite(TemporaryFile& temp, const std::string& target, FileError& error) {
  FileError closing;
  const bool closed = CloseTemporary(temp, closing) && !FileFaultPlanned(FileFault::CloseFails);
  static_cast<void>(closed);  // nothing is lost when it failed: the write stands
  return FlushFolderOf(target, kCannotWrite, error);
}

// The temporary is made beside the file a link points to, so that the
// rename replaces that file and not the link.
bool WriteFileAtomically(const char* path, const unsigned char* data, size_t size,
                         FileError& error, FileIdentity* written) {
  std::string target;
  if (!WriteTargetOf(path, false, target, error)) return false;
  TemporaryFile temp;
  FileIdentity identity;
  if (!StageTemporary(target, data, size, temp, identity, error)) return false;
  WriteStepReached(WriteStep::BeforeReplace, target);
  if (!RenameReplacing(temp.name, target, kCannotWrite, error)) {
    DiscardTemporary(temp);
    return false;
  }
  WriteStepReached(WriteStep::AfterReplace, target);
  if (written != nullptr) *written = identity;
  return FinishWrite(temp, target, error);
}
