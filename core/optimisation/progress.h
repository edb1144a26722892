// The progress display of an optimisation run: the gauge (0..1000) and the
// remaining-time text, from the simulated time done against the time the
// method's estimated runs will take.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace vemo {

inline constexpr const char* kNoTimeYet = "-- мин -- сек";
inline constexpr const char* kTooLong = "До вечера не управлюсь!";

// Milliseconds of a steady clock.
int64_t SteadyMilliseconds();

class TOptProgress {
 public:
  using TClock = std::function<int64_t()>;
  explicit TOptProgress(TClock clock = SteadyMilliseconds) : clock_(std::move(clock)) {}

  // A new run of `runs` estimated simulations of `viewTime` seconds each:
  // the start time is taken now, the gauge is 0 and the text kNoTimeYet.
  void Start(double runs, double viewTime);
  // done: finished simulations × view time + model time of the runs under way.
  void Update(double done);

  int Gauge() const { return gauge_; }
  const std::string& Label() const { return label_; }
  int64_t StartTicks() const { return start_; }
  double Total() const { return total_; }

 private:
  TClock clock_;
  int64_t start_ = 0;
  double total_ = 0.0;
  int gauge_ = 0;
  std::string label_ = kNoTimeYet;
  // The remaining seconds shown last; -1 when the text shows none.
  double shown_ = -1.0;
};

}  // namespace vemo
