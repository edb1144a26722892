// Pulse elements: the pulse train each one makes of a smooth input.
#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"

namespace vemo::pictures {

namespace {

constexpr double kBase = -0.7;

struct TPulse {
  double Start, Width, Height;
};

void DrawTrain(TCanvas& canvas, const TPictureBox& box, std::initializer_list<TPulse> pulses) {
  DrawFrame(canvas, box);
  DrawTimeAxes(canvas, box, kBase);
  std::vector<TUnit> c = {{-1, kBase}};
  for (const TPulse& p : pulses) {
    c.push_back({p.Start, kBase});
    c.push_back({p.Start, kBase + p.Height});
    c.push_back({p.Start + p.Width, kBase + p.Height});
    c.push_back({p.Start + p.Width, kBase});
  }
  c.push_back({1.05, kBase});
  DrawCurve(canvas, box, c);
}

}  // namespace

bool DrawPulsePicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  const uint16_t code = obj.TypeCode;
  if (code == 13) {  // amplitude: equal widths, the heights follow the input
    DrawTrain(canvas, box, {{-0.85, 0.2, 0.5}, {-0.35, 0.2, 1.3}, {0.15, 0.2, 1.1}, {0.65, 0.2, 0.4}});
    return true;
  }
  if (code == 100 || code == 14 || code == 15) {  // width: equal heights, widths vary
    DrawTrain(canvas, box, {{-0.85, 0.1, 1.2}, {-0.35, 0.3, 1.2}, {0.15, 0.4, 1.2}, {0.65, 0.18, 1.2}});
    return true;
  }
  if (code == 101 || (code >= 16 && code <= 19)) {  // frequency: equal pulses, spacing varies
    DrawTrain(canvas, box, {{-0.85, 0.1, 1.2}, {-0.3, 0.1, 1.2}, {0.0, 0.1, 1.2},
                            {0.3, 0.1, 1.2}, {0.75, 0.1, 1.2}});
    return true;
  }
  return false;
}

}  // namespace vemo::pictures
