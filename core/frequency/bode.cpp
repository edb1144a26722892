#include "frequency/bode.h"

#include <cfenv>
#include <cmath>

#include "frequency/numeric.h"
#include "shell/numtext.h"
#include "simulation/plot_axes.h"

namespace vemo {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr Real kPi = 3.141592653589793238462643383279502884L;

void Widen(double& lo, double& hi, double v) {
  if (v < lo) lo = v;
  if (v > hi) hi = v;
}

void WidenNarrow(double& lo, double& hi) {
  if (hi - lo < 0.01) {
    lo -= 0.01;
    hi += 0.01;
  }
}

}  // namespace

bool BodeResponse(const TZeroPoleForm& form, Real delay, double lgw, Real& l, Real& phi) {
  std::feclearexcept(kFaults);
  FrequencyResponse(form, true, l, phi, Pow10(lgw), delay);
  return !std::fetestexcept(kFaults) && std::isfinite(l) && std::isfinite(phi);
}

bool BodeAutoscale(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax, TBodeRanges& r) {
  if (r.LAutoscale) r.LMin = r.LMax = 0.0;
  if (r.PhiAutoscale) r.PhiMin = r.PhiMax = -static_cast<double>(kPi);
  for (double x = lgwMin; x < lgwMax; x += 0.01) {
    Real l = 0, phi = 0;
    if (!BodeResponse(form, delay, x, l, phi)) return false;
    if (r.LAutoscale) Widen(r.LMin, r.LMax, static_cast<double>(l));
    if (r.PhiAutoscale) Widen(r.PhiMin, r.PhiMax, static_cast<double>(phi));
  }
  WidenNarrow(r.LMin, r.LMax);
  WidenNarrow(r.PhiMin, r.PhiMax);
  return true;
}

int LgwToSlider(double lgw) {
  const double p = std::nearbyint((lgw + 8.0) * 1000.0 / 16.0);  // halves to even
  if (!(p >= 0.0)) return 0;
  if (p > 1000.0) return 1000;
  return static_cast<int>(p);
}

double SliderToLgw(int position) { return position * 16.0 / 1000.0 - 8.0; }

void UsableLgwRange(double& lgwMin, double& lgwMax) {
  if (lgwMin >= -8.0 && lgwMin < lgwMax && lgwMax <= 8.0) return;
  lgwMin = kDefaultLgwMin;
  lgwMax = kDefaultLgwMax;
}

void SliderWindow(double min, double max, int q1, int q2, double& top, double& bottom) {
  top = max - (max - min) * q1 / 1000.0;
  bottom = max - (max - min) * q2 / 1000.0;
}

int BodePlotX(double lgw, double lgwMin, double lgwMax, int left, int right) {
  return static_cast<int>(std::lround((lgw - lgwMin) * (right - left) / (lgwMax - lgwMin))) + left;
}

int BodePlotY(double v, double top, double bottom, int topPx, int bottomPx) {
  return static_cast<int>(std::lround((top - v) * (bottomPx - topPx - 32) / (top - bottom))) + topPx + 16;
}

double BodeLGridStep(double range) {
  double step = NiceStep(range);
  if (step > 5.0 && step < 30.0) step = 20.0;
  return step;
}

double BodePhiGridStep(double range) {
  return NiceStep(range * 180.0 / static_cast<double>(kPi)) * static_cast<double>(kPi) / 180.0;
}

bool BodeCurveText(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax, bool phase,
                   std::string& text) {
  text.clear();
  text.reserve(kBodeTextLines * 48);
  for (int i = 0; i < kBodeTextLines; ++i) {
    const double x = lgwMin + i * (lgwMax - lgwMin) * 0.005;
    Real l = 0, phi = 0;
    if (!BodeResponse(form, delay, x, l, phi)) return false;
    const Real v = phase ? phi * 180 / kPi : l;
    text += FormatReal23(x);
    text += ' ';
    text += FormatReal23(static_cast<double>(v));
    text += '\n';
  }
  return true;
}

}  // namespace vemo
