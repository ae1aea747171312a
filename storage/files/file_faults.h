// Test hooks of the file services: faults met on purpose, and a call at the
// moments when another process could replace a file being written. All are
// off unless a test turns them on.
#pragma once

#include <string>

// When `bytes` is 0 or more, every later write fails with "No space left on
// device" once that many bytes have been written; -1 (the default) turns
// the hook off.
void SetAtomicWriteFailAfter(long bytes);
long AtomicWriteFailAfter();

enum class FileFault {
  None,
  ReadFails,        // reading a file fails ("cannot read: Input/output error")
  LockTaken,        // another process holds the temporary of a write
  CloseFails,       // closing a written file fails, after its rename
  FolderSyncFails,  // flushing a folder fails, after a rename or a deletion
  NoExchange,       // the file system cannot swap two names
};

// Every later operation meets `fault`, until None is set.
void SetFileFault(FileFault fault);
bool FileFaultPlanned(FileFault fault);

// Called just before and just after a written file takes the name of the
// file it replaces; nullptr for none.
enum class WriteStep { BeforeReplace, AfterReplace };
using WriteStepHook = void (*)(WriteStep step, const std::string& target);
void SetWriteStepHook(WriteStepHook hook);
void WriteStepReached(WriteStep step, const std::string& target);
