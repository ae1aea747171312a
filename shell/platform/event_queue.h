// The one event queue shared by every window: a ring of 256 events. An event
// posted while the ring is full is dropped, never the oldest one.
#pragma once

#include "platform_types.h"

class EventQueue {
 public:
  static constexpr int kCapacity = 256;

  // Appends an event; returns false (and keeps nothing) when the queue is full.
  bool Post(const Event& event);
  // The same, except that an event with the id and source of the newest one
  // queued is not added again (pointer moves: only the latest place counts).
  bool PostMerged(const Event& event) {
    if (count_ > 0) {
      const Event& newest = ring_[(head_ + count_ - 1) % kCapacity];
      if (newest.id == event.id && newest.source == event.source) return true;
    }
    return Post(event);
  }
  // Takes the oldest event into `event`; returns false when the queue is empty.
  bool Pop(Event& event) {
    if (count_ == 0) return false;
    event = ring_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return true;
  }
  // True when a queued event satisfies `match`; nothing is taken.
  bool Contains(bool (*match)(const Event&)) const {
    for (int i = 0; i < count_; i++)
      if (match(ring_[(head_ + i) % kCapacity])) return true;
    return false;
  }
  bool Empty() const { return count_ == 0; }
  int Count() const { return count_; }
  // Events refused because the queue was full, since construction.
  int Dropped() const { return dropped_; }
  void Clear() { head_ = count_ = 0; }

 private:
  Event ring_[kCapacity] = {};
  int head_ = 0;
  int count_ = 0;
  int dropped_ = 0;
};
