#include "displace.h"

#include "atomic_write.h"
#include "file_faults.h"
#include "folder_sync.h"
#include "rename_file.h"
#include "set_aside.h"
#include "texts.h"

namespace {

// A displaced file that need not be kept is deleted; one that cannot be
// deleted stays where it is, which loses nothing.
void Settle(const std::string& displaced, const KeepDisplaced& keep, std::string& keptAs) {
  FileError ignored;
  if (keep(displaced))
    keptAs = displaced;
  else
    RemoveName(displaced, ignored);
}

// Where names cannot be swapped: whatever has the name is moved aside first,
// then the staged file takes the free name. A file that appears between the
// two steps is never replaced: the write fails, and that file stays.
bool SwapInWithoutExchange(const std::string& staged, const std::string& target, const char* label,
                           std::string& displaced, FileError& error) {
  if (!RenameAside(target, target, label, kCannotWrite, displaced, error)) {
    if (error.kind != FileErrorKind::NotFound) return false;
    displaced.clear();
  }
  if (RenameWithoutReplacing(staged, target, kCannotWrite, error)) return true;
  if (error.kind == FileErrorKind::Exists) {
    error = Failure(FileErrorKind::Busy, Tr("cannot write: another program wrote the file at the same moment"));
    return false;
  }
  // The name is still free: what had it gets it back.
  FileError ignored;
  if (!displaced.empty() && RenameWithoutReplacing(displaced, target, kCannotWrite, ignored)) displaced.clear();
  return false;
}

// Puts the staged file in place of `target`; `displaced` names where what
// had the name is now (empty when nothing had it). On failure the staged
// file is still under its name.
bool SwapIn(const std::string& staged, const std::string& target, const char* label,
            std::string& displaced, FileError& error) {
  for (int attempt = 0; attempt < 3; attempt++) {
    if (FileFaultPlanned(FileFault::NoExchange))  // never shown: the write goes the other way
      error = Failure(FileErrorKind::Unsupported, "cannot swap the names");
    else if (ExchangeFiles(staged, target, kCannotWrite, error)) {
      displaced = staged;
      return true;
    }
    if (error.kind == FileErrorKind::Unsupported)
      return SwapInWithoutExchange(staged, target, label, displaced, error);
    if (error.kind != FileErrorKind::NotFound) return false;
    // Nothing has the name: the staged file takes it, unless another file
    // took it meanwhile, which is then swapped out in turn.
    if (RenameWithoutReplacing(staged, target, kCannotWrite, error)) return true;
    if (error.kind != FileErrorKind::Exists) return false;
  }
  error = Failure(FileErrorKind::Busy, Tr("cannot write: another program keeps writing the file"));
  return false;
}

}  // namespace

// The new file is staged under a name that keeps it before it is swapped
// in: a kill at any moment leaves the old file and the new one each under
// a name that the clearing of leftovers never takes.
bool WriteFileDisplacing(const char* path, const unsigned char* data, size_t size,
                         const char* label, const KeepDisplaced& keep, Displacement& result,
                         FileError& error) {
  result = Displacement{};
  std::string target;
  if (!WriteTargetOf(path, true, target, error)) return false;
  TemporaryFile temp;
  if (!StageTemporary(target, data, size, temp, result.written, error)) return false;
  std::string staged;
  if (!RenameAside(temp.name, target, label, kCannotWrite, staged, error)) {
    DiscardTemporary(temp);
    return false;
  }
  temp.name = staged;
  WriteStepReached(WriteStep::BeforeReplace, target);
  std::string displaced;
  if (!SwapIn(staged, target, label, displaced, error)) {
    DiscardTemporary(temp);
    // Moved aside, and then another file took the name: it is never
    // deleted now, and told of when it must be kept.
    if (!displaced.empty() && keep(displaced)) result.keptAs = displaced;
    return false;
  }
  result.done = true;
  WriteStepReached(WriteStep::AfterReplace, target);
  if (!displaced.empty()) Settle(displaced, keep, result.keptAs);
  return FinishWrite(temp, target, error);
}

bool RemoveFileDisplacing(const char* path, const char* label, const KeepDisplaced& keep,
                          Displacement& result, FileError& error) {
  result = Displacement{};
  if (path == nullptr || *path == '\0') return true;
  const std::string target = NameToSetAside(path);
  std::string displaced;
  if (RenameAside(target, target, label, kCannotDelete, displaced, error))
    Settle(displaced, keep, result.keptAs);
  else if (error.kind != FileErrorKind::NotFound)
    return false;
  result.done = true;
  return FlushFolderOf(target, kCannotDelete, error);
}
