// Helpers of the synthesis tests: W(s) of a synthesised field, coefficient
// comparison after normalisation, a step-response run of a field and an
// independent reference response of a proper W(s).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/transfer_text.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo::testing {

inline TFraction ParseW(const std::string& text) {
  TFraction f;
  EXPECT_TRUE(ParseTransferFunction(text, f)) << text;
  return f;
}

// W(s) from point A to point B of a field (empty after an error).
inline TFraction FieldW(TField& f, int start = 0, int end = 1) {
  if (!RunContourCommand(f, start, end, false)) return TFraction{};
  TFraction w = FracCopy(Analysis.W);
  ReleaseMacroBodies(f);
  return w;
}

// Coefficients of a polynomial without its negligible top ones.
inline std::vector<long double> Trimmed(const TPolynomial& p, long double scale) {
  std::vector<long double> c(p.Coef.begin(), p.Coef.end());
  while (c.size() > 1 && std::fabs(c.back()) <= 1e-10L * scale) c.pop_back();
  return c;
}

// Coefficients of the polynomial, scaled by the top coefficient of `den`.
inline std::vector<long double> Scaled(const TPolynomial& p, const TPolynomial& den) {
  long double scale = 0;
  for (long double c : den.Coef) scale = std::max(scale, std::fabs(c));
  const auto d = Trimmed(den, scale);
  std::vector<long double> c(p.Coef.begin(), p.Coef.end());
  for (long double& v : c) v /= d.back();
  return c;
}

inline std::vector<long double> Product(const std::vector<long double>& a, const std::vector<long double>& b) {
  std::vector<long double> r(a.size() + b.size() - 1, 0.0L);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < b.size(); ++j) r[i + j] += a[i] * b[j];
  return r;
}

// How far a and b are from being the same W(s): both made monic in the
// denominator, the largest coefficient of Na Db - Nb Da relative to the
// largest coefficient of the products. The contour solution carries
// common factors of numerator and denominator that no step cancels, so
// the fractions are compared crosswise, not coefficient by coefficient.
inline double CoefficientError(const TFraction& a, const TFraction& b) {
  if (a.Num.Coef.empty() || a.Den.Coef.empty() || b.Num.Coef.empty() || b.Den.Coef.empty())
    return std::numeric_limits<double>::infinity();
  const auto an = Scaled(a.Num, a.Den), ad = Scaled(a.Den, a.Den);
  const auto bn = Scaled(b.Num, b.Den), bd = Scaled(b.Den, b.Den);
  const auto l = Product(an, bd), r = Product(bn, ad);
  long double size = 0, err = 0;
  for (size_t i = 0; i < std::max(l.size(), r.size()); ++i) {
    const long double x = i < l.size() ? l[i] : 0.0L, y = i < r.size() ? r[i] : 0.0L;
    size = std::max({size, std::fabs(x), std::fabs(y)});
    err = std::max(err, std::fabs(x - y));
  }
  return size > 0 ? static_cast<double>(err / size) : std::numeric_limits<double>::infinity();
}

// Step response of a field: a unit constant placed at (col, row) feeds the
// input wire; the output of point B after each of n steps of dt.
inline std::vector<double> StepResponse(TField& f, double dt, int n, int col = 0, int row = 1) {
  TSchemeBuilder(f).Block(col, row, 0, {1.0});
  f.Step = dt;
  f.AutoStep = 0;
  std::vector<double> y;
  PrepareRun(f);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  if (Prog.Err.ErrorCode) return y;
  TBlock* out = f.Points[1].Source;
  SimInit(f);
  for (int i = 0; i < n; ++i) {
    Prog.Clock.SimTime = i * dt;
    SimStepAll(f);
    y.push_back(out ? out->Output : 0.0);
  }
  SimDone(f);
  ReleaseMacroBodies(f);
  return y;
}

// The unit-step response of a proper W(s) at t = dt, 2 dt, ...: the
// controllable canonical form integrated by fourth-order Runge-Kutta with
// ten substeps a step.
inline std::vector<double> ReferenceStep(const TFraction& w, double dt, int n) {
  std::vector<double> den(w.Den.Coef.begin(), w.Den.Coef.end());
  std::vector<double> num(w.Num.Coef.begin(), w.Num.Coef.end());
  while (den.size() > 1 && den.back() == 0.0) den.pop_back();
  const size_t order = den.size() - 1;
  num.resize(order + 1, 0.0);
  const double top = den.back();
  for (double& c : den) c /= top;
  for (double& c : num) c /= top;
  const double d = num[order];
  std::vector<double> c(order);
  for (size_t i = 0; i < order; ++i) c[i] = num[i] - d * den[i];
  auto deriv = [&](const std::vector<double>& x) {
    std::vector<double> dx(order);
    for (size_t i = 0; i + 1 < order; ++i) dx[i] = x[i + 1];
    double last = 1.0;
    for (size_t i = 0; i < order; ++i) last -= den[i] * x[i];
    if (order) dx[order - 1] = last;
    return dx;
  };
  std::vector<double> x(order, 0.0), y;
  const int sub = 10;
  const double h = dt / sub;
  for (int k = 0; k < n; ++k) {
    for (int s = 0; s < sub; ++s) {
      auto add = [&](const std::vector<double>& v, double f) {
        std::vector<double> r(order);
        for (size_t i = 0; i < order; ++i) r[i] = x[i] + f * v[i];
        return r;
      };
      const auto k1 = deriv(x), k2 = deriv(add(k1, h / 2)), k3 = deriv(add(k2, h / 2)), k4 = deriv(add(k3, h));
      for (size_t i = 0; i < order; ++i) x[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
    }
    double out = d;
    for (size_t i = 0; i < order; ++i) out += c[i] * x[i];
    y.push_back(out);
  }
  return y;
}

inline double MaxDifference(const std::vector<double>& a, const std::vector<double>& b, size_t from = 0) {
  double m = 0.0;
  for (size_t i = from; i < std::min(a.size(), b.size()); ++i) m = std::max(m, std::fabs(a[i] - b[i]));
  return a.size() == b.size() ? m : std::numeric_limits<double>::infinity();
}

}  // namespace vemo::testing
