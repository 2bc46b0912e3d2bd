// A terminal's millisecond timer: an expert's events come every period whatever its handler
// took, as long as it took less; a handler that overran gets the next event at once, and the
// events it overran are not made up.
#pragma once

class TimerPace {
 public:
  // An event comes at `now`; the next is due one period later.
  TimerPace(double period_ms, double now) : period_(period_ms), next_(now + period_ms) {}

  // How long to wait from `now` (after a handler returned) until the next event, which then
  // counts as come.
  double WaitFrom(double now) {
    if (next_ <= now) {
      next_ = now + period_;
      return 0;
    }
    const double wait = next_ - now;
    next_ += period_;
    return wait;
  }

 private:
  double period_, next_;
};
