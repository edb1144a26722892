#include "optimisation/methods.h"

#include <algorithm>
#include <cmath>

#include "shell/settings.h"

namespace vemo {

namespace {

// The settings within the limits the settings dialog allows, so that a
// hand-edited settings file cannot make a method divide by zero or never end.
TSettings WithinLimits(const TSettings& in) {
  TSettings s = in;
  s.ZondCount = std::clamp(s.ZondCount, 3, 1000);
  s.ZondIterCount = std::clamp(s.ZondIterCount, 1, 100);
  s.SpeedDown = std::clamp(s.SpeedDown, 4, 10000);
  s.SpeedDownIters = std::clamp(s.SpeedDownIters, 3, 10000);
  s.SpeedDownSingleIters = std::clamp(s.SpeedDownSingleIters, 2, 1000);
  if (!(s.SpeedDownEps >= 1e-10)) s.SpeedDownEps = 1e-10;
  if (!(s.GradDownVolum >= 1e-5 && s.GradDownVolum <= 95)) s.GradDownVolum = 5;
  s.GradDownIters = std::clamp(s.GradDownIters, 10, 100000);
  if (!(s.GradDownEps >= 1e-10)) s.GradDownEps = 1e-10;
  return s;
}

}  // namespace

double EstimateRuns(int method, const TSettings& raw, int n) {
  const TSettings s = WithinLimits(raw);
  switch (method) {
    case kProbeSearch: return std::pow(double(s.ZondCount), n) * s.ZondIterCount;
    case kCoordinateDescent:
      return double(s.SpeedDownIters) * s.SpeedDownSingleIters * s.SpeedDown * n;
    default: return double(n + 1) * s.GradDownIters;
  }
}

TOptimiser::TOptimiser(std::vector<TOptParam> params, const TSettings& settings, bool targetMode,
                       TEvaluator& evaluator)
    : params_(std::move(params)), s_(settings), targetMode_(targetMode), eval_(evaluator) {
  for (const TOptParam& p : params_) values_.push_back(p.Value ? *p.Value : 0.0);
}

void TOptimiser::Apply() const {
  for (size_t i = 0; i < params_.size(); ++i)
    if (params_[i].Value) *params_[i].Value = values_[i];
}

TEvalResult TOptimiser::Take(size_t i) {
  const TEvalResult r = eval_.Result(i);
  ++runs_;
  if (r.Stopped) stopped_ = true;
  return r;
}

void TOptimiser::Run(int method) {
  switch (method) {
    case kProbeSearch: ProbeSearch(); break;
    case kGradientDescent: GradientDescent(); break;
    default: CoordinateDescent(); break;
  }
}

void TOptimiser::ProbeSearch() {
  const TSettings s = WithinLimits(s_);
  const size_t n = params_.size();
  if (n == 0) return;
  std::vector<double> lo(n), hi(n), h(n), b(n);
  for (size_t i = 0; i < n; ++i) {
    lo[i] = InternalLower(params_[i]);
    hi[i] = InternalUpper(params_[i]);
    b[i] = Get(i);  // kept should the first run be cancelled
  }
  const size_t batchMax = std::max<size_t>(ProbeBatch, 1);
  for (int iter = 0; iter < s.ZondIterCount && !stopped_; ++iter) {
    double best = 1e40;
    for (size_t i = 0; i < n; ++i) {
      h[i] = (hi[i] - lo[i]) / (s.ZondCount - 1);
      Set(i, lo[i]);
    }
    // The grid in odometer order, parameter 1 changing fastest.
    std::vector<int> j(n, 0);
    bool walked = false;
    while (!walked && !stopped_) {
      std::vector<std::vector<double>> batch;
      while (!walked && batch.size() < batchMax) {
        for (size_t i = 0; i < n; ++i) Set(i, lo[i] + j[i] * h[i]);
        batch.push_back(values_);
        size_t d = 0;
        while (d < n && ++j[d] == s.ZondCount) j[d++] = 0;
        walked = d == n;
      }
      eval_.Submit(batch);
      for (size_t k = 0; k < batch.size(); ++k) {
        const TEvalResult r = Take(k);
        if (r.Stopped) break;
        if (r.J < best) {
          best = r.J;
          for (size_t i = 0; i < n; ++i) b[i] = ToInternal(params_[i], batch[k][i]);
        }
      }
    }
    if (stopped_) break;
    for (size_t i = 0; i < n; ++i) {
      lo[i] = std::max(lo[i], b[i] - h[i]);
      hi[i] = std::min(hi[i], b[i] + h[i]);
    }
  }
  for (size_t i = 0; i < n; ++i) Set(i, b[i]);
}

void TOptimiser::CoordinateDescent() {
  const TSettings s = WithinLimits(s_);
  const size_t n = params_.size();
  if (n == 0) return;
  double prev = 3e30;
  int stall = 0;
  for (int iter = 0; iter < s.SpeedDownIters; ++iter) {
    double best = 2e30;
    for (size_t p = 0; p < n; ++p) {
      const double LO = InternalLower(params_[p]), HI = InternalUpper(params_[p]);
      double lo = LO, hi = HI;
      const double c0 = Get(p);
      double b = c0;
      for (int r = 0; r < s.SpeedDownSingleIters; ++r) {
        best = 2e30;
        const double h = (hi - lo) / (s.SpeedDown - 1);
        std::vector<std::vector<double>> batch;
        for (int j = 0; j < s.SpeedDown; ++j) {
          Set(p, lo + j * h);
          batch.push_back(values_);
        }
        eval_.Submit(std::move(batch));
        for (int j = 0; j < s.SpeedDown; ++j) {
          const TEvalResult res = Take(static_cast<size_t>(j));
          if (res.Stopped) {
            Set(p, (lo + hi) / 2);
            return;
          }
          if (res.J < best) {
            best = res.J;
            b = lo + j * h;
          }
        }
        if (best > 1e29) {  // no usable run on this line
          b = c0;
          break;
        }
        lo = std::max(b - h, LO);
        hi = std::min(b + h, HI);
        Set(p, b);
      }
      Set(p, b);
    }
    if (targetMode_) {
      if (best < s.SpeedDownEps) return;
    } else if (std::fabs(prev - best) < s.SpeedDownEps) {
      if (++stall > 10) return;
    } else {
      stall = 0;
    }
    prev = best;
  }
}

void TOptimiser::GradientDescent() {
  const TSettings s = WithinLimits(s_);
  const size_t n = params_.size();
  if (n == 0) return;
  double prev = 3e30, rate = 0.01 * s.GradDownVolum;
  int stall = 0;
  std::vector<double> g(n);
  for (int iter = 0; iter < s.GradDownIters; ++iter) {
    // The point itself and one step of 0.001 along every coordinate.
    std::vector<std::vector<double>> batch{values_};
    for (size_t i = 0; i < n; ++i) {
      const double x = Get(i);
      Set(i, x + 0.001);
      batch.push_back(values_);
      Set(i, x);
    }
    eval_.Submit(batch);
    const TEvalResult r0 = Take(0);
    if (r0.Stopped) return;
    const double c = r0.J;
    if (c > prev) rate /= 2;
    if (targetMode_) {
      if (c < s.GradDownEps) return;
    } else if (std::fabs(prev - c) < s.GradDownEps) {
      if (++stall > 20) return;
    } else {
      stall = 0;
    }
    prev = c;
    for (size_t i = 0; i < n; ++i) {
      const TEvalResult ri = Take(i + 1);
      g[i] = 1000.0 * (c - ri.J);
      if (ri.Stopped) return;
    }
    double norm = 0.0;
    for (double v : g) norm += v * v;
    norm = std::max(std::sqrt(norm), 1e-12);
    for (size_t i = 0; i < n; ++i) {
      const double lo = InternalLower(params_[i]), hi = InternalUpper(params_[i]);
      const double x = g[i] / norm * rate * (hi - lo) + Get(i);
      Set(i, std::clamp(x, std::min(lo, hi), std::max(lo, hi)));
    }
  }
}

}  // namespace vemo
