#include "frequency/popov.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_set>

#include "blocks/cell_object.h"
#include "blocks/pulse.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr uint16_t kPulseAmplitudeCode = 13;
constexpr uint16_t kPulseFrequencyCode = 101;

TChainClass Make(int code, double p0 = 0.0, double p1 = 0.0, double p2 = 0.0) {
  TChainClass c;
  c.Code = code;
  c.Params[0] = p0;
  c.Params[1] = p1;
  c.Params[2] = p2;
  return c;
}

// One block as an equivalent standard element. Asymmetric settings give
// the numeric class; an element whose output does not depend on its input
// gives kChainBreak or kChainConstant (decided again for the whole chain).
TChainClass ClassifyBlock(const TBlock* b) {
  const uint16_t code = b->TypeCode;
  if (code == kPulseFrequencyCode) {
    const auto* m = dynamic_cast<const TPulseFrequencyModulator*>(b);
    return m ? Make(kPulseFrequencyCode, m->Quantum, m->Height, m->PulseLength) : Make(kChainNumeric);
  }
  const auto* pb = dynamic_cast<const TParamBlock*>(b);
  if (!pb) return Make(kChainNumeric);
  const double* p = pb->Params;
  switch (code) {
    case kPulseAmplitudeCode:
      return Make(kPulseAmplitudeCode, p[0], p[1]);
    case 20:
      return Make(20, p[0]);
    case 21:
      if (p[0] == p[1]) return Make(p[0] == 0.0 ? kChainBreak : kChainConstant);
      if (p[0] == -p[1]) return Make(21, p[0]);
      return Make(kChainNumeric);
    case 22:
      if (p[1] == p[2]) return Make(p[1] == 0.0 ? kChainBreak : kChainConstant);
      if (p[1] == -p[2]) return Make(22, p[0], p[1]);
      return Make(kChainNumeric);
    case 23:
      if (p[0] == p[1]) return Make(p[0] == 0.0 ? kChainBreak : kChainConstant);
      if (p[0] == -p[1] && p[0] > 0.0 && p[2] == 0.0) return Make(23, p[0]);
      return Make(kChainNumeric);
    case 24:
      if (p[0] == p[1]) return Make(p[0] == 0.0 ? kChainBreak : kChainConstant);
      if (p[0] == -p[1] && p[0] > 0.0 && p[2] == -p[3])
        return p[2] == 0.0 ? Make(23, p[0]) : Make(24, p[0], p[2]);
      return Make(kChainNumeric);
    case 25:
      if (p[0] == 0.0 && p[1] == 0.0) return Make(kChainBreak);
      if (p[0] == -p[1] && p[0] > 0.0 && p[2] == -p[3])
        return p[2] == 0.0 ? Make(23, p[0]) : Make(25, p[0], p[2]);
      return Make(kChainNumeric);
    case 26:
      if (p[0] == 0.0) return Make(kChainBreak);
      // A hysteresis wider than twice the threshold makes the element switch
      // between its two outer states only: a relay with hysteresis h - b.
      if (p[0] > 0.0 && p[2] == -p[3] && p[2] > 0.0)
        return p[1] > 2.0 * p[2] ? Make(24, p[0], p[1] - p[2]) : Make(26, p[0], p[1], p[2]);
      return Make(kChainNumeric);
    case 27:
      return Make(27, p[0]);
    case 28:
      return Make(28, p[0]);
    default:
      return Make(kChainNumeric);
  }
}

// The equivalent of a then b for the pairs of standard elements that
// reduce to one; false for the others.
bool Combine(const TChainClass& a, const TChainClass& b, TChainClass& out) {
  const double* x = a.Params;
  const double* y = b.Params;
  switch (a.Code * 100 + b.Code) {
    case 2020: out = Make(20, x[0] + y[0]); return true;
    case 2121: out = Make(21, std::min(x[0], y[0])); return true;
    case 2021: out = Make(22, x[0], y[0]); return true;
    case 2022: out = Make(22, x[0] + y[0], y[1]); return true;
    case 2120: out = x[0] <= y[0] ? Make(kChainBreak) : Make(22, y[0], x[0] - y[0]); return true;
    case 2122: out = x[0] <= y[0] ? Make(kChainBreak) : Make(22, y[0], std::min(y[1], x[0] - y[0])); return true;
    case 2221: out = Make(22, x[0], std::min(x[1], y[0])); return true;
    case 2220: out = x[1] <= y[0] ? Make(kChainBreak) : Make(22, x[0] + y[0], x[1] - y[0]); return true;
    case 2123: out = Make(23, y[0]); return true;
    case 2025: out = Make(25, y[0], y[1] + x[0]); return true;
    case 2125: out = x[0] >= y[1] ? Make(25, y[0], y[1]) : Make(kChainBreak); return true;
    case 2321: out = Make(23, std::min(x[0], y[0])); return true;
    case 2320: out = x[0] <= y[0] ? Make(kChainBreak) : Make(23, x[0] - y[0]); return true;
    case 2327: {
      const double level = y[0] * std::nearbyint(x[0] / y[0]);
      out = level == 0.0 ? Make(kChainBreak) : Make(23, level);
      return true;
    }
    default:
      return false;
  }
}

// Steps the chain once with the entry's output set to x; the last output.
double StepChain(const std::vector<TBlock*>& chain, TBlock* entry, double x) {
  entry->Output = x;
  for (TBlock* b : chain) b->Step();
  return chain.back()->Output;
}

}  // namespace

const char* ChainRefusalText(int code) {
  switch (code) {
    case kChainBreak: return kChainBreakText;
    case kChainConstant: return kChainConstantText;
    case kChainUnsupported: return kChainUnsupportedText;
    default: return "";
  }
}

std::vector<TBlock*> NonlinearChain(TBlock* entry, TBlock* last) {
  std::vector<TBlock*> chain;
  std::unordered_set<const TBlock*> seen;
  for (TBlock* b = last; b && b != entry; b = b->FirstInput()) {
    if (!seen.insert(b).second) return {};
    chain.push_back(b);
  }
  if (!entry || chain.empty() || chain.back()->FirstInput() != entry) return {};
  std::reverse(chain.begin(), chain.end());
  return chain;
}

TChainClass ClassifyNonlinearChain(TBlock* entry, TBlock* last) {
  const std::vector<TBlock*> chain = NonlinearChain(entry, last);
  if (chain.empty()) return Make(kChainUnsupported);
  std::vector<TChainClass> parts;
  bool fixedOutput = false;
  for (const TBlock* b : chain) {
    parts.push_back(ClassifyBlock(b));
    const int c = parts.back().Code;
    if (chain.size() > 1 && (c == kPulseAmplitudeCode || c == kPulseFrequencyCode))
      return Make(kChainUnsupported);
    if (c == kChainBreak || c == kChainConstant) fixedOutput = true;
  }
  if (fixedOutput) {
    // The output no longer depends on the input: the elements after the
    // fixed one decide what it is.
    const double saved = entry->Output;
    for (TBlock* b : chain) b->Start();
    double y = 0.0;
    for (int i = 0; i < 3; ++i) y = StepChain(chain, entry, 0.0);
    for (TBlock* b : chain) b->Stop();
    entry->Output = saved;
    return Make(y == 0.0 ? kChainBreak : kChainConstant);
  }
  TChainClass acc = parts[0];
  for (size_t i = 1; i < parts.size(); ++i) {
    TChainClass next;
    if (!Combine(acc, parts[i], next)) return Make(kChainNumeric);
    acc = next;
    if (acc.Code == kChainBreak) return acc;
  }
  return acc;
}

TPopovSector PopovSector(const TChainClass& cls, TBlock* entry, TBlock* last) {
  TPopovSector s;
  switch (cls.Code) {
    case kChainBreak:
    case kChainConstant:
    case kChainUnsupported:
    case 24:
    case 28:
    case kPulseFrequencyCode:
      return s;
    case 20:
    case 21:
    case 22:
      s.K = 1.0;
      break;
    case 23:
      s.K = 1e10;
      break;
    case 25:
      s.K = cls.Params[0] / cls.Params[1];
      break;
    case 26:
      s.K = cls.Params[0] / cls.Params[2];
      break;
    case 27:
      s.K = 2.0;
      break;
    default: {
      const std::vector<TBlock*> chain = NonlinearChain(entry, last);
      if (chain.empty()) return s;
      const double saved = entry->Output;
      for (TBlock* b : chain) b->Start();
      bool fits = true;
      double k = 0.0;
      auto sample = [&](double x) {
        const double y = StepChain(chain, entry, x);
        if (y * x < 0.0) fits = false;
        else k = std::max(k, y / x);
      };
      constexpr double kDown = 0.5556, kUp = 1.8;
      for (double x = -10000.0; x < -1e-4; x *= kDown) sample(x);
      for (double x = 1e-4; x < 10000.0; x *= kUp) sample(x);
      for (double x = 10000.0; x > 1e-4; x *= kDown) sample(x);
      for (double x = -1e-4; x > -10000.0; x *= kUp) sample(x);
      for (TBlock* b : chain) b->Stop();
      entry->Output = saved;
      if (!fits) return s;
      s.K = k;
      break;
    }
  }
  s.Fits = std::isfinite(s.K) && s.K >= 1e-7;
  if (!s.Fits) s.K = 0.0;
  return s;
}

TPopovLine FindPopovLine(const TPointList& modified, double k) {
  TPopovLine line;
  if (!(k > 0.0) || modified.Count() == 0) return line;
  const double x0 = -1.0 / k;
  double lo = 0.0, hi = 0.0;
  for (size_t i = 0; i < modified.Count(); ++i) {
    const double t = std::atan2(static_cast<double>(modified.Im(i)), modified.Re(i) - x0);
    if (i == 0 || t < lo) lo = t;
    if (i == 0 || t > hi) hi = t;
  }
  line.ThetaMin = lo;
  line.ThetaMax = hi;
  line.Found = hi - lo <= kPopovSpread;
  line.Angle = (hi + lo) / 2 - std::numbers::pi / 2;
  return line;
}

std::string PopovNonlinearityText(const TPopovVerdict& v) {
  return v.Sector.Fits ? kSectorFitsText : kSectorFailsText;
}

std::string PopovLineText(const TPopovVerdict& v) {
  if (!v.Sector.Fits) return "-";
  if (!v.Line.Found) return kLineImpossibleText;
  return kLineFoundPrefix + FormatNumber(-1.0 / v.Sector.K);
}

std::string PopovConclusionText(const TPopovVerdict& v) {
  if (!v.Sector.Fits) return kCriterionMisplacedText;
  return v.Line.Found ? kStableByPopovText : kNoAnswerText;
}

std::string PopovReportText(const TPopovVerdict& v) {
  std::string t;
  t += std::string(kPopovNonlinearityLabel) + " " + PopovNonlinearityText(v) + "\n";
  t += std::string(kPopovLineLabel) + " " + PopovLineText(v) + "\n";
  t += std::string(kPopovConclusionLabel) + " " + PopovConclusionText(v) + "\n";
  return t;
}

std::string PopovPlotLabel(double k) { return "-1/k=" + FormatNumber(-1.0 / k); }

}  // namespace vemo
