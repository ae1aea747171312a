#include "event_queue.h"

// Appends behind the newest event unless all 256 slots are taken.
bool EventQueue::Post(const Event& event) {
  if (count_ == kCapacity) {
    ++dropped_;
    return false;
  }
  ring_[(head_ + count_) % kCapacity] = event;
  ++count_;
  return true;
}
