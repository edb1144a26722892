#include "frequency/oscillation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "frequency/pfm_table.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

struct TPoint {
  double X, Y;
};

TPoint At(const TPointList& l, size_t i) { return {l.Re(i), l.Im(i)}; }

// Frequency between two hodograph points, interpolated in lg w.
double FrequencyAt(const TPointList& h, size_t i, double t) {
  const double w0 = h.Third(i), w1 = h.Third(i + 1);
  if (w0 > 0.0 && w1 > 0.0) return w0 * std::pow(w1 / w0, t);
  return w0 + (w1 - w0) * t;
}

// Intersection parameters of the segments p0-p1 and q0-q1: t along p in
// [0, 1), u along q in [0, 1]. False for parallel or disjoint segments.
bool Intersect(TPoint p0, TPoint p1, TPoint q0, TPoint q1, double& t, double& u) {
  const double rx = p1.X - p0.X, ry = p1.Y - p0.Y;
  const double sx = q1.X - q0.X, sy = q1.Y - q0.Y;
  const double den = rx * sy - ry * sx;
  const double scale = std::hypot(rx, ry) * std::hypot(sx, sy);
  if (!(std::fabs(den) > 1e-12 * scale) || scale == 0.0) return false;
  const double qx = q0.X - p0.X, qy = q0.Y - p0.Y;
  t = (qx * sy - qy * sx) / den;
  u = (qx * ry - qy * rx) / den;
  return t >= 0.0 && t < 1.0 && u >= 0.0 && u <= 1.0;
}

class TCollector {
 public:
  TCollector(const TPointList& h, const TDescribingCurve& c) : H(h), C(c) {}

  // Records an oscillation at frequency w with curve amplitude value a
  // (a table factor for the modulator); p is the curve point that judges
  // its stability.
  void Add(double w, double a, size_t p, uint8_t rank) {
    for (const TOscillation& o : List)
      if (std::fabs(o.W - w) <= 1e-6) return;
    TOscillation o;
    o.W = w;
    o.A = C.PulseFrequencyTable ? a * C.AmplitudeScale * w : a;
    o.Rank = rank;
    o.Stable = !CrossesLineLeftOf(H, C.Points.Im(p), C.Points.Re(p));
    List.push_back(o);
  }

  // Segments of the curve from index first to last (inclusive) against
  // every hodograph segment.
  void Segments(size_t first, size_t last, uint8_t rank) {
    for (size_t j = first; j < last; ++j) {
      const TPoint q0 = At(C.Points, j), q1 = At(C.Points, j + 1);
      const double qxMin = std::min(q0.X, q1.X), qxMax = std::max(q0.X, q1.X);
      const double qyMin = std::min(q0.Y, q1.Y), qyMax = std::max(q0.Y, q1.Y);
      for (size_t i = 0; i + 1 < H.Count(); ++i) {
        const TPoint p0 = At(H, i), p1 = At(H, i + 1);
        if (std::max(p0.X, p1.X) < qxMin || std::min(p0.X, p1.X) > qxMax || std::max(p0.Y, p1.Y) < qyMin ||
            std::min(p0.Y, p1.Y) > qyMax)
          continue;
        double t = 0, u = 0;
        if (!Intersect(p0, p1, q0, q1, t, u)) continue;
        const double a0 = C.Points.Third(j), a1 = C.Points.Third(j + 1);
        Add(FrequencyAt(H, i, t), a0 + (a1 - a0) * u, j + 1, rank);
      }
    }
  }

  // A lone curve point: the closest hodograph point of every run of points
  // within the tolerance.
  void Lone(size_t j, uint8_t rank) {
    const TPoint q = At(C.Points, j);
    size_t best = 0;
    double bestD = kPfmMatchTolerance;
    bool inRun = false;
    for (size_t i = 0; i <= H.Count(); ++i) {
      const double d = i < H.Count() ? std::hypot(H.Re(i) - q.X, H.Im(i) - q.Y) : kPfmMatchTolerance;
      if (d < kPfmMatchTolerance) {
        if (!inRun || d < bestD) best = i, bestD = d;
        inRun = true;
      } else if (inRun) {
        Add(H.Third(best), C.Points.Third(j), j, rank);
        inRun = false;
      }
    }
  }

  std::vector<TOscillation> List;

 private:
  const TPointList& H;
  const TDescribingCurve& C;
};

}  // namespace

std::vector<TOscillation> FindOscillations(const TPointList& hodograph, const TDescribingCurve& curve) {
  TCollector c(hodograph, curve);
  const size_t n = curve.Points.Count();
  if (hodograph.Count() < 2 || n == 0) return c.List;
  // Runs of equal rank: the whole curve, or the ranks of the table.
  size_t first = 0;
  for (size_t j = 1; j <= n; ++j) {
    const uint8_t rank = j - 1 < curve.Ranks.size() ? curve.Ranks[j - 1] : 0;
    const bool ends = j == n || (j < curve.Ranks.size() && curve.Ranks[j] != rank);
    if (!ends) continue;
    if (j - 1 == first) c.Lone(first, rank);
    else c.Segments(first, j - 1, rank);
    first = j;
  }
  return c.List;
}

std::string OscillationBlockText(const TOscillation& o) {
  std::string t = "Частота: " + FormatNumber(o.W) + "rad/с = " + FormatNumber(o.W / (2.0 * std::numbers::pi)) +
                  "Гц.\n";
  t += "Амплитуда: " + FormatNumber(o.A) + " ед.\n";
  if (o.Rank == 0) t += std::string(o.Stable ? kOscillationStableText : kOscillationUnstableText) + "\n";
  else if (o.Rank == kPfmRankMany) t += "Ранг: Более 10\n";
  else t += "Ранг: " + std::to_string(o.Rank) + "\n";
  return t;
}

std::string OscillationsText(const std::vector<TOscillation>& list) {
  if (list.empty()) return {};
  std::string t = std::string(kOscillationsLabel) + "\n";
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) t += std::string(kOscillationSeparator) + "\n";
    t += OscillationBlockText(list[i]);
  }
  return t;
}

}  // namespace vemo
