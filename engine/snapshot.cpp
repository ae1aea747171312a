#include "snapshot.h"

#include <cstddef>
#include <cstring>

#include "engine_state.h"

namespace {

EngineState keptEngine;

// The book and its probe scratch close the record, so that everything
// before them can be put back alone.
static_assert(offsetof(EngineState, bookLength) ==
                  offsetof(EngineState, bookBytes) + sizeof(EngineState::bookBytes),
              "the book closes the engine record");
static_assert(sizeof(EngineState) - (offsetof(EngineState, bookCandidateTo) +
                                      sizeof(EngineState::bookCandidateTo)) <
                  alignof(EngineState),
              "the book closes the engine record");

}  // namespace

void KeepEngine() { std::memcpy(static_cast<void*>(&keptEngine), &E, sizeof(EngineState)); }

void RestoreEngine(bool keepBook) {
  const size_t size = keepBook ? offsetof(EngineState, bookBytes) : sizeof(EngineState);
  std::memcpy(static_cast<void*>(&E), &keptEngine, size);
}
