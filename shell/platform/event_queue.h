// The one event queue shared by every window: a ring of 256 events. An event
// posted while the ring is full is dropped, never the oldest one. Events
// that only say "look again" are merged, so that a flood of them cannot fill
// the ring: a paint or size event of a source that has one queued already
// takes the older one's place at the back of the queue (so it still comes
// after whatever came in between), a pointer move right behind another of
// the same canvas is not queued again (only the latest place counts), and
// the end of the session is queued once.
//
// A request to end the program (the end of the session, a close request of
// a window without owner) is also kept in a flag beside the ring, which no
// full ring can lose: the loops and the file requester consult it.
#pragma once

#include "platform_types.h"

class EventQueue {
 public:
  static constexpr int kCapacity = 256;

  // Appends an event unless it merges with one already queued; returns false
  // (and keeps nothing) when the queue is full. AppTerminate, and any event
  // posted with `endsProgram`, raise the end flag whether or not it fits.
  bool Post(const Event& event, bool endsProgram = false);
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
  int Count() const { return count_; }
  // Events refused because the queue was full, since construction.
  int Dropped() const { return dropped_; }

  // Whether an end of the program was asked for and not yet taken.
  bool EndRequested() const { return endRequested_; }
  // The same, and the request is taken: true once per request.
  bool TakeEndRequest() {
    const bool requested = endRequested_;
    endRequested_ = false;
    return requested;
  }

 private:
  // Takes out the queued event with the id and source of `event`, if any.
  bool Remove(const Event& event);
  bool Queued(const Event& event) const;

  Event ring_[kCapacity] = {};
  int head_ = 0;
  int count_ = 0;
  int dropped_ = 0;
  bool endRequested_ = false;
};
