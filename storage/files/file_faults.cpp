#include "file_faults.h"

namespace {

long failAfterBytes = -1;
FileFault plannedFault = FileFault::None;
WriteStepHook stepHook = nullptr;

}  // namespace

void SetAtomicWriteFailAfter(long bytes) { failAfterBytes = bytes; }
long AtomicWriteFailAfter() { return failAfterBytes; }

void SetFileFault(FileFault fault) { plannedFault = fault; }
bool FileFaultPlanned(FileFault fault) { return plannedFault == fault; }

void SetWriteStepHook(WriteStepHook hook) { stepHook = hook; }

void WriteStepReached(WriteStep step, const std::string& target) {
  if (stepHook != nullptr) stepHook(step, target);
}
