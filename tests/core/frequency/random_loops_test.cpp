// Random schemes of the linear kinds, up to degree 40, with cancelling and
// nearly cancelling pole-zero pairs: W(s), the Bode data and the margins
// the program computes against a reduction done here, independently, from
// the blocks' own factors evaluated at s = jw. W(s) is held to 1e-7
// (relative), the Bode data to 1e-6 dB and rad, the margins to 0.01 degree
// and 0.01 dB. A cancellation taken for exact where it is not shows here as
// a lost zero or pole.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "frequency/analysis_state.h"
#include "frequency/bode.h"
#include "frequency/contour.h"
#include "frequency/hodograph.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "test_support.h"

namespace vemo {
namespace {

using test::Complex;
constexpr Real kPi = 3.141592653589793238462643383279502884L;

struct TRandomBlock {
  uint16_t Code;
  std::vector<double> Params;
};

// The block's own transfer function at s, from its parameters.
Complex Factor(const TRandomBlock& b, Complex s) {
  const std::vector<double>& p = b.Params;
  switch (b.Code) {
    case 6: return p[0];
    case 7: return Real(p[0]) / s;
    case 9: return Real(p[1]) * (Real(p[0]) * s + Real(1));
    case 10: return Real(p[1]) / (Real(p[0]) * s + Real(1));
    case 11: return Real(p[2]) / (Real(p[0]) * Real(p[0]) * s * s + Real(2 * p[1] * p[0]) * s + Real(1));
    case 12: return Real(p[1]) * std::exp(-Real(p[0]) * s);
    case 95: return Real(p[1]) * s / (Real(p[0]) * s + Real(1));
  }
  ADD_FAILURE() << "no factor for block " << b.Code;
  return 1;
}

Complex Product(const std::vector<TRandomBlock>& blocks, Complex s) {
  Complex v = 1;
  for (const TRandomBlock& b : blocks) v *= Factor(b, s);
  return v;
}

// A random loop: the forward chain G (its dynamic order, cancelling pairs
// included, at most 40 with the feedback block) and an optional feedback
// block H; a delay only where no loop passes through it.
struct TRandomLoop {
  std::vector<TRandomBlock> Forward;
  std::vector<TRandomBlock> Feedback;  // empty or one block
  bool Loop = true;
  int Degree = 0;
};

class TGenerator {
 public:
  explicit TGenerator(uint32_t seed) : Gen_(seed) {}

  TRandomLoop Next() {
    TRandomLoop l;
    l.Loop = Pick(4) != 0;
    const int target = 1 + Pick(40);
    std::vector<double> lags;  // time constants that a forcing block may cancel
    while (l.Degree < target) {
      switch (Pick(9)) {
        case 0: Add(l, {6, {LogUniform(0.3, 3)}}, 0); break;
        case 1:
          if (Pick(3) == 0) Add(l, {7, {LogUniform(0.3, 3), 0}}, 1);
          break;
        case 2: case 3: {
          const double T = LogUniform(0.05, 5);
          lags.push_back(T);
          Add(l, {10, {T, LogUniform(0.5, 2), 0}}, 1);
          break;
        }
        case 4: {
          // A forcing block on a lag's time constant: exactly, or within 1e-9.
          if (lags.empty()) break;
          const double T = lags[Pick(static_cast<int>(lags.size()))] * (Pick(2) ? 1.0 : 1.0 + 1e-9);
          Add(l, {9, {T, 1}}, 0);
          break;
        }
        case 5: Add(l, {9, {LogUniform(0.05, 5), LogUniform(0.5, 2)}}, 0); break;
        case 6: case 7:
          if (l.Degree + 2 <= target) Add(l, {11, {LogUniform(0.05, 3), Uniform(0.1, 0.9), LogUniform(0.5, 2)}}, 2);
          break;
        case 8:
          if (Pick(2)) Add(l, {95, {LogUniform(0.05, 5), LogUniform(0.3, 3)}}, 1);
          else Add(l, {12, {LogUniform(0.01, 0.3), 1}}, 0);
          break;
      }
    }
    if (l.Loop && Pick(2)) l.Feedback.push_back({10, {LogUniform(0.01, 1), LogUniform(0.5, 2), 0}});
    return l;
  }

 private:
  void Add(TRandomLoop& l, TRandomBlock b, int order) {
    l.Forward.push_back(std::move(b));
    l.Degree += order;
  }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Gen_); }
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(Gen_); }
  double LogUniform(double lo, double hi) { return std::exp(Uniform(std::log(lo), std::log(hi))); }

  std::mt19937 Gen_;
};

// gen -> [summer ->] forward blocks -> stub, the output fed back to the
// summer's negated bottom input through H when there is one. Points: A the
// generator's output, B the output, C the summer's output, D the feedback
// signal (H's output, or the output itself).
void Build(TField& f, const TRandomLoop& l) {
  TSchemeBuilder b(f);
  auto place = [&](int col, int row, const TRandomBlock& rb) {
    auto* block = static_cast<TParamBlock*>(b.Block(col, row, rb.Code));
    for (size_t i = 0; i < rb.Params.size(); ++i) block->Params[i] = rb.Params[i];
  };
  b.Block(2, 2, 0, {1.0});
  int col = 2;
  if (l.Loop) {
    b.Block(4, 2, 2);
    b.Line({{2, 2}, {4, 2}});
    col = 4;
  }
  for (const TRandomBlock& rb : l.Forward) {
    place(col + 2, 2, rb);
    b.Line({{col, 2}, {col + 2, 2}});
    col += 2;
  }
  b.Line({{col, 2}, {col + 2, 2}});
  b.Point(0, 3, 2);
  b.Point(1, col + 2, 2);
  if (!l.Loop) return;
  b.Point(2, 5, 2);
  if (l.Feedback.empty()) {
    b.Line({{col + 1, 2}, {col + 1, 4}, {4, 4}, {4, 2}});
    b.Point(3, col + 2, 2);
  } else {
    place(col, 4, l.Feedback[0]);
    b.Line({{col + 1, 2}, {col + 1, 4}, {col, 4}});
    b.Line({{col, 4}, {4, 4}, {4, 2}});
    b.Point(3, col - 1, 4);
  }
}

// The closed-loop report of a loop gain, found here on a fine grid of lg w
// over the hodograph's range and refined by bisection: the smallest
// theta + pi where |L| falls through 1, the largest |L| where L crosses the
// negative real axis.
struct TMargins {
  double PhaseMargin = 1e8;  // radians, 1e8: none
  double Crossing = 0;
};

TMargins IndependentMargins(const std::vector<TRandomBlock>& loopGain) {
  auto L = [&](double lgw) { return Product(loopGain, Complex(0, std::pow(10.0L, Real(lgw)))); };
  auto bisect = [&](double lo, double hi, auto side) {
    const bool atLo = side(L(lo));
    for (int i = 0; i < 100; ++i) {
      const double m = (lo + hi) / 2;
      (side(L(m)) == atLo ? lo : hi) = m;
    }
    return L((lo + hi) / 2);
  };
  TMargins m;
  constexpr int kSteps = 8000;
  Complex prev = L(-3);
  double prevX = -3;
  for (int i = 1; i <= kSteps; ++i) {
    const double x = -3 + 6.0 * i / kSteps;
    const Complex cur = L(x);
    if (std::abs(prev) > 1 && std::abs(cur) <= 1) {
      const Complex at = bisect(prevX, x, [](Complex v) { return std::abs(v) <= 1; });
      double theta = std::atan2(static_cast<double>(at.imag()), static_cast<double>(at.real()));
      if (theta > 0) theta -= 2 * kPi;
      m.PhaseMargin = std::min(m.PhaseMargin, theta + static_cast<double>(kPi));
    }
    if ((prev.imag() > 0) != (cur.imag() > 0)) {
      const Complex at = bisect(prevX, x, [](Complex v) { return v.imag() > 0; });
      if (at.real() < 0) m.Crossing = std::max(m.Crossing, static_cast<double>(std::abs(at)));
    }
    prev = cur;
    prevX = x;
  }
  return m;
}

double Db(Complex v) { return 20 * std::log10(static_cast<double>(std::abs(v))); }

// The phase difference reduced to (-pi, pi]: the program's phase is
// continuous in w, the one here is taken as it comes.
double PhaseGap(double a, double b) { return std::fabs(std::remainder(a - b, 2 * static_cast<double>(kPi))); }

TEST(RandomLoops, TransferFunctionBodeAndMarginsAgreeWithTheBlocksOwnFactors) {
  TGenerator gen(20240611);
  double worstW = 0, worstDb = 0, worstPhase = 0, worstPm = 0, worstGm = 0;
  int margins = 0, gains = 0;
  for (int trial = 0; trial < 40; ++trial) {
    const TRandomLoop l = gen.Next();
    std::vector<TRandomBlock> loopGain = l.Forward;
    loopGain.insert(loopGain.end(), l.Feedback.begin(), l.Feedback.end());
    const bool delayed = std::any_of(l.Forward.begin(), l.Forward.end(), [](const auto& b) { return b.Code == 12; });
    // The contours: the open chain, or the closed loop from its input
    // (unless a delay lies in the loop) and the loop gain from the error.
    struct TCase {
      int Start, End;
      bool Margins;
    };
    std::vector<TCase> cases;
    if (!l.Loop) cases.push_back({0, 1, false});
    if (l.Loop && !delayed) cases.push_back({0, 1, false});
    if (l.Loop) cases.push_back({2, 3, true});
    for (const TCase& c : cases) {
      ResetProgramState();
      auto f = CreateField();
      Build(*f, l);
      auto truth = [&](Complex s) {
        if (c.Start == 2 || !l.Loop) return Product(c.Start == 2 ? loopGain : l.Forward, s);
        const Complex g = Product(l.Forward, s), h = l.Feedback.empty() ? Complex(1) : Factor(l.Feedback[0], s);
        return g / (Real(1) + g * h);
      };
      const std::string what = "trial " + std::to_string(trial) + " degree " + std::to_string(l.Degree) +
                               " contour " + std::to_string(c.Start) + "-" + std::to_string(c.End);
      ASSERT_TRUE(RunContourCommand(*f, c.Start, c.End, true)) << what << " error " << int(Prog.Err.ErrorCode);
      // W(s) with its delay, at a few frequencies.
      for (Real w : {0.05L, 0.3L, 1.0L, 3.0L, 20.0L}) {
        const Complex s(0, w);
        const Complex got = test::Eval(Analysis.W, s) * std::exp(-Analysis.Delay * s), want = truth(s);
        const double e = static_cast<double>(std::abs(got - want) / std::abs(want));
        worstW = std::max(worstW, e);
        EXPECT_LT(e, 1e-7) << what << " w " << static_cast<double>(w);
      }
      // The Bode data from the zero-pole form.
      for (double lgw = -2; lgw <= 2; lgw += 0.125) {
        Real lDb = 0, phi = 0;
        ASSERT_TRUE(BodeResponse(Analysis.Form, Analysis.Delay, lgw, lDb, phi)) << what;
        const Complex want = truth(Complex(0, std::pow(10.0L, Real(lgw))));
        const double dDb = std::fabs(static_cast<double>(lDb) - Db(want));
        const double dPhi = PhaseGap(static_cast<double>(phi), static_cast<double>(std::arg(want)));
        worstDb = std::max(worstDb, dDb);
        worstPhase = std::max(worstPhase, dPhi * 180 / static_cast<double>(kPi));
        EXPECT_LT(dDb, 1e-6) << what << " lgw " << lgw;
        EXPECT_LT(dPhi, 1e-6) << what << " lgw " << lgw;
      }
      if (!c.Margins) continue;
      THodograph h;
      ASSERT_TRUE(BuildHodograph(Analysis.Form, Analysis.Delay, -3, 3, {}, h)) << what;
      const TClosedLoopVerdict v = AnalyseClosedLoop(h);
      const TMargins m = IndependentMargins(loopGain);
      ASSERT_EQ(v.HasPhaseMargin, m.PhaseMargin < 1e8) << what;
      if (v.HasPhaseMargin) {
        const double d = std::fabs(v.PhaseMarginDeg - std::fabs(m.PhaseMargin) * 180 / static_cast<double>(kPi));
        worstPm = std::max(worstPm, d);
        EXPECT_LT(d, 0.01) << what;
        ++margins;
      }
      const bool hasGain = m.Crossing > 0 && m.Crossing < 1;
      ASSERT_EQ(v.HasGainMargin, hasGain) << what << " crossing " << m.Crossing;
      if (hasGain) {
        const double d = std::fabs(v.GainMarginDb + 20 * std::log10(m.Crossing));
        worstGm = std::max(worstGm, d);
        EXPECT_LT(d, 0.01) << what;
        ++gains;
      }
    }
  }
  std::cout << "[ info ] 40 random schemes: W(jw) " << worstW << " (relative), Bode " << worstDb << " dB and "
            << worstPhase << " deg, " << margins << " phase margins within " << worstPm << " deg, " << gains
            << " gain margins within " << worstGm << " dB\n";
}

}  // namespace
}  // namespace vemo
