#include "event_queue.h"

bool EventQueue::Queued(const Event& event) const {
  for (int i = 0; i < count_; i++) {
    const Event& queued = ring_[(head_ + i) % kCapacity];
    if (queued.id == event.id && queued.source == event.source) return true;
  }
  return false;
}

bool EventQueue::Remove(const Event& event) {
  for (int i = 0; i < count_; i++) {
    const Event& queued = ring_[(head_ + i) % kCapacity];
    if (queued.id != event.id || queued.source != event.source) continue;
    for (int k = i; k + 1 < count_; k++)
      ring_[(head_ + k) % kCapacity] = ring_[(head_ + k + 1) % kCapacity];
    --count_;
    return true;
  }
  return false;
}

// Appends behind the newest event unless it merges, or all 256 slots are taken.
bool EventQueue::Post(const Event& event, bool endsProgram) {
  if (endsProgram || event.id == EventId::AppTerminate) endRequested_ = true;
  switch (event.id) {
    case EventId::AppTerminate:
      if (Queued(event)) return true;
      break;
    case EventId::GadgetPaint:
    case EventId::WindowSize:
      Remove(event);
      break;
    case EventId::MouseMove:
      if (count_ > 0) {
        const Event& newest = ring_[(head_ + count_ - 1) % kCapacity];
        if (newest.id == event.id && newest.source == event.source) return true;
      }
      break;
    default:
      break;
  }
  if (count_ == kCapacity) {
    ++dropped_;
    return false;
  }
  ring_[(head_ + count_) % kCapacity] = event;
  ++count_;
  return true;
}
