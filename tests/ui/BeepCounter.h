#pragma once

// Counts warning beeps instead of sounding them, for as long as it lives.

#include "ui/Filters.h"

class BeepCounter {
  public:
    BeepCounter() : previous_(Filters::setBeep([this] { ++count_; })) {}
    ~BeepCounter() { Filters::setBeep(previous_); }
    BeepCounter(const BeepCounter&) = delete;
    BeepCounter& operator=(const BeepCounter&) = delete;

    int count() const { return count_; }
    void reset() { count_ = 0; }

  private:
    int count_ = 0;
    Filters::BeepFunction previous_;
};
