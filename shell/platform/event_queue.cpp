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
    if (ends_[(head_ + i) % kCapacity]) --endsQueued_;
    for (int k = i; k + 1 < count_; k++) {
      ring_[(head_ + k) % kCapacity] = ring_[(head_ + k + 1) % kCapacity];
      ends_[(head_ + k) % kCapacity] = ends_[(head_ + k + 1) % kCapacity];
    }
    --count_;
    return true;
  }
  return false;
}

void EventQueue::Append(const Event& event, bool ends) {
  const int slot = (head_ + count_) % kCapacity;
  ring_[slot] = event;
  ends_[slot] = ends;
  if (ends) ++endsQueued_;
  ++count_;
}

// Appends behind the newest event unless it merges, or all 256 slots are
// taken; a request to end the program then waits behind them.
bool EventQueue::Post(const Event& event, bool endsProgram) {
  const bool ends = endsProgram || event.id == EventId::AppTerminate;
  switch (event.id) {
    case EventId::AppTerminate:
      if (Queued(event) || (endWaiting_ && endEvent_.id == event.id)) return true;
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
    if (ends) {
      if (!endWaiting_) endEvent_ = event;
      endWaiting_ = true;
      return true;
    }
    ++dropped_;
    return false;
  }
  Append(event, ends);
  return true;
}

bool EventQueue::Take(Event& event) {
  if (count_ == 0) {
    event = endEvent_;
    endWaiting_ = false;
    return true;
  }
  event = ring_[head_];
  if (ends_[head_]) --endsQueued_;
  head_ = (head_ + 1) % kCapacity;
  --count_;
  return true;
}
