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
// a window without owner) is never lost: one that finds the ring full waits
// in a slot of its own behind it and is taken once the ring is empty, so it
// still comes after everything that came before it.
#pragma once

#include "platform_types.h"

class EventQueue {
 public:
  static constexpr int kCapacity = 256;

  // Appends an event unless it merges with one already queued; returns false
  // (and keeps nothing) when the queue is full. `endsProgram` marks a
  // request to end the program (AppTerminate always is one): it is kept
  // behind a full queue instead.
  bool Post(const Event& event, bool endsProgram = false);
  // Takes the oldest event into `event`; returns false when the queue is
  // empty. (The empty queue is answered here: the search polls at every node.)
  bool Pop(Event& event) {
    if (count_ == 0 && !endWaiting_) return false;
    return Take(event);
  }
  // True when a queued event satisfies `match`; nothing is taken.
  bool Contains(bool (*match)(const Event&)) const {
    for (int i = 0; i < count_; i++)
      if (match(ring_[(head_ + i) % kCapacity])) return true;
    return false;
  }
  int Count() const { return count_ + (endWaiting_ ? 1 : 0); }
  // Events refused because the queue was full, since construction.
  int Dropped() const { return dropped_; }
  // Whether a request to end the program is queued, or waits behind a full
  // queue.
  bool EndRequested() const { return endsQueued_ > 0 || endWaiting_; }

 private:
  // Takes out the queued event with the id and source of `event`, if any.
  bool Remove(const Event& event);
  bool Queued(const Event& event) const;
  void Append(const Event& event, bool ends);
  bool Take(Event& event);

  Event ring_[kCapacity] = {};
  bool ends_[kCapacity] = {};  // the event in the same slot ends the program
  int head_ = 0;
  int count_ = 0;
  int dropped_ = 0;
  int endsQueued_ = 0;
  Event endEvent_ = {};       // a request to end that found the queue full
  bool endWaiting_ = false;
};
