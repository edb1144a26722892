#include "synthesis/layout.h"

#include <algorithm>

#include "blocks/registry.h"
#include "model/scheme_builder.h"
#include "model/wire.h"

namespace vemo {

namespace {

// Side bits of a wire cell.
constexpr uint8_t kT = 1 << Top, kL = 1 << Left, kB = 1 << Bottom, kR = 1 << Right;
constexpr uint16_t kPositiveSummer = 1;
constexpr uint16_t kFeedbackSummer = 2;  // negates its lower input
// Last row a band's chain may use: its own return row and the next band's
// first rows must still fit.
constexpr int kLastChainRow = kGridSize - 1 - kBandRows;

class TLayout {
 public:
  TLayout(TField& f, TSynthMode mode) : F(f), B(f), Mode(mode) {}

  // Lays the whole chain; false when it does not fit.
  bool Run(const std::vector<TSynthElement>& chain) {
    const bool sourceFirst = !chain.empty() && IsSource(chain.front().Code);
    if (!sourceFirst) Wire(1, Row, kL | kR, kR);
    if (Mode == TSynthMode::Controller) {
      B.Block(2, Row, kFeedbackSummer);
      Wire(2, Row + 1, kT | kB, kT);
      Wire(3, Row, kL | kR, kR);
      Col = 4;
    }
    for (const TSynthElement& e : chain) {
      if (Mode == TSynthMode::Controller && e.Code >= 21 && e.Code <= 27) continue;
      if (!Place(e)) return false;
    }
    const int outCol = Col - 1;
    if (!sourceFirst) B.Point(0, 1, kChainRow);
    B.Point(1, outCol, Row);
    if (Mode == TSynthMode::Controller) CloseLoop(outCol);
    return true;
  }

 private:
  static bool IsSource(uint16_t code) {
    const TKindInfo* k = FindKind(code);
    return k && k->Kind == 0;
  }

  // Adds lines and outputs to the wire of a cell (made when empty); a cell
  // that gets four lines with one output of each opposite pair becomes a
  // crossing, one with three lines a junction.
  void Wire(int c, int r, uint8_t lines, uint8_t outs) {
    TCellObject* obj = F.Cell(c, r);
    if (!obj) {
      F.SetCell(c, r, CreateCellObject(kWireCode));
      obj = F.Cell(c, r);
    }
    if (obj->TypeCode != kWireCode) return;
    auto* w = static_cast<TWire*>(obj);
    w->LineSides |= lines;
    w->OutSides = static_cast<uint8_t>((w->OutSides | outs) & ~kJunctionBit);
    if (!w->IsCrossing() && BitCount(w->LineSides & 0x0F) >= 3) w->OutSides |= kJunctionBit;
    F.Modified = 1;
  }

  void Block(int c, int r, const TSynthElement& e) {
    B.Block(c, r, e.Code, {e.Params[0], e.Params[1], e.Params[2], e.Params[3]});
  }

  // Down from the current cell, back along the row below to column 1,
  // down that column, and on four rows below at column 2.
  bool Wrap() {
    if (Row + kBandRows > kLastChainRow) return false;
    Wire(Col, Row, kL | kB, kB);
    Wire(Col, Row + 1, kT | kL, kL);
    for (int c = Col - 1; c >= 2; --c) Wire(c, Row + 1, kL | kR, kL);
    Wire(1, Row + 1, kB | kR, kB);
    Wire(1, Row + 2, kT | kB, kB);
    Wire(1, Row + 3, kT | kB, kB);
    Wire(1, Row + 4, kT | kR, kR);
    Row += kBandRows;
    Col = kChainFirstCol;
    return true;
  }

  bool Place(const TSynthElement& e) {
    const int w = ElementWidth(e.Code);
    if (Col + w - 1 >= kWrapColumn && !Wrap()) return false;
    switch (e.Code) {
      case kPiCode:  // Kp on the chain row, Ki / s above it
        Parallel({Simple(kSynthIntegrator, e.Params[1])}, {Simple(kSynthGain, e.Params[0])});
        break;
      case kPidCode: {
        // Kd s above; Kp + Ki / s = (Kp s + Ki) / s below, an integrator
        // then a forcing element (Ki is never 0: the zeros are not at 0).
        const double kp = e.Params[1], ki = e.Params[2];
        Parallel({Simple(kSynthDifferentiator, e.Params[0])},
                 {Simple(kSynthIntegrator, 1.0), Simple(kSynthForcing, kp / ki, ki)});
        break;
      }
      case kForcing2Code: {
        // K b above; K s (s + a) = K s * a (s / a + 1) below (a > 0).
        const double k = e.Params[0], a = e.Params[1], b = e.Params[2];
        Parallel({Simple(kSynthGain, k * b)},
                 {Simple(kSynthDifferentiator, k), Simple(kSynthForcing, 1.0 / a, a)});
        break;
      }
      default:
        Block(Col, Row, e);
        break;
    }
    Wire(Col + w, Row, kL | kR, kR);
    Col += w + 1;
    return true;
  }

  static TSynthElement Simple(uint16_t code, double p0, double p1 = 0.0) {
    TSynthElement e;
    e.Code = code;
    e.Params[0] = p0;
    e.Params[1] = p1;
    return e;
  }

  // Two branches from a junction at the current cell: `upper` along the
  // row above, `middle` along the chain row, joined by a positive summing
  // block (upper into its top side, middle into its left side).
  void Parallel(const std::vector<TSynthElement>& upper, const std::vector<TSynthElement>& middle) {
    const int n = static_cast<int>(std::max(upper.size(), middle.size()));
    const int up = Row - 1, sum = Col + 2 * n + 1;
    Wire(Col, Row, kL | kT | kR, kT | kR);
    Wire(Col, up, kB | kR, kR);
    for (int i = 0; i < n; ++i) {
      const int c = Col + 1 + 2 * i;
      if (static_cast<size_t>(i) < upper.size()) Block(c, up, upper[static_cast<size_t>(i)]);
      else Wire(c, up, kL | kR, kR);
      if (static_cast<size_t>(i) < middle.size()) Block(c, Row, middle[static_cast<size_t>(i)]);
      else Wire(c, Row, kL | kR, kR);
      Wire(c + 1, up, kL | kR, kR);
      Wire(c + 1, Row, kL | kR, kR);
    }
    Wire(sum, up, kL | kB, kB);
    B.Block(sum, Row, kPositiveSummer);
  }

  // The feedback of the controller loop: from the wire after the last
  // element to the wire under the summing block, entering it from below
  // along row 3 (right of everything when the chain has wrapped).
  void CloseLoop(int outCol) {
    const int below = kChainRow + 2;
    const int x = Row == kChainRow ? outCol + 1 : kFeedbackColumn;
    B.Line({{outCol, Row}, {x, Row}, {x, below}, {2, below}, {2, kChainRow + 1}});
  }

  TField& F;
  TSchemeBuilder B;
  TSynthMode Mode;
  int Col = kChainFirstCol;
  int Row = kChainRow;
};

}  // namespace

int ElementWidth(uint16_t code) {
  switch (code) {
    case kPiCode: return 4;
    case kPidCode:
    case kForcing2Code: return 6;
    default: return 1;
  }
}

std::unique_ptr<TField> LayoutStructure(const std::vector<TSynthElement>& chain, TSynthMode mode) {
  auto field = CreateField();
  TLayout layout(*field, mode);
  if (!layout.Run(chain)) return nullptr;
  return field;
}

}  // namespace vemo
