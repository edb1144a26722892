#include "optimisation/progress.h"

#include <chrono>
#include <cmath>

namespace vemo {

int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TOptProgress::Start(double runs, double viewTime) {
  start_ = clock_();
  total_ = runs * viewTime;
  gauge_ = 0;
  label_ = kNoTimeYet;
  shown_ = -1.0;
}

void TOptProgress::Update(double done) {
  if (total_ > 0.0) {
    const double g = std::round(done / total_ * 1000.0);
    gauge_ = g < 0.0 ? 0 : g > 1000.0 ? 1000 : static_cast<int>(g);
  }
  const double elapsed = static_cast<double>(clock_() - start_);
  // Without time elapsed or work done there is nothing to extrapolate from.
  if (!(elapsed > 0.0) || !(done > 0.0)) return;
  const double remaining = std::floor((total_ * elapsed / done - elapsed + 999.0) / 1000.0);
  if (!(remaining <= 1e6)) {
    label_ = kTooLong;
    shown_ = -1.0;
    return;
  }
  // Upwards at once; downwards only by more than two seconds, so the text
  // does not flicker back and forth by a second or two.
  if (remaining > shown_ || remaining < shown_ - 2.0) {
    shown_ = remaining < 0.0 ? 0.0 : remaining;
    const long s = static_cast<long>(shown_);
    const long sec = s % 60;
    label_ = std::to_string(s / 60) + " мин " + (sec < 10 ? "0" : "") + std::to_string(sec) + " сек";
  }
}

}  // namespace vemo
