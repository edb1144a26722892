// Mathematical functions of one input: the graph of the function with its
// name written small in a corner the graph leaves free.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"

namespace vemo::pictures {

namespace {

constexpr double kPi = std::numbers::pi;

double Reciprocal(double x) { return 0.2 / x; }
double Sine(double x) { return 0.7 * std::sin(kPi * x); }
double Cosine(double x) { return 0.7 * std::cos(kPi * x); }
double Tangent(double x) { return 0.15 * std::tan(1.4 * x); }
double ArcSine(double x) { return 0.7 * std::asin(std::clamp(x, -1.0, 1.0)) / (kPi / 2); }
double ArcCosine(double x) { return 0.8 * std::acos(std::clamp(x, -1.0, 1.0)) / kPi; }
double ArcTangent(double x) { return 0.7 * std::atan(4 * x) / (kPi / 2); }
double Logarithm(double x) { return 0.3 * std::log(4 * x); }
double Exponent(double x) { return 0.12 * std::exp(2 * x); }
double SquareRoot(double x) { return 0.8 * std::sqrt(std::max(0.0, x)); }
double Modulus(double x) { return 0.7 * std::fabs(x); }

struct TFunctionLook {
  uint16_t Code;
  const char* Label;
  double (*F)(double);
  double X0, X1;
  bool LabelBelow;  // the graph passes through the top left corner
};

constexpr TFunctionLook kLooks[] = {
    {43, "sin", Sine, -1, 1, false},
    {44, "cos", Cosine, -1, 1, false},
    {45, "tg", Tangent, -1, 1, false},
    {46, "arcsin", ArcSine, -1, 1, false},
    {47, "arccos", ArcCosine, -1, 1, true},
    {48, "arctg", ArcTangent, -1, 1, false},
    {49, "ln", Logarithm, 0.02, 1, false},
    {50, "exp", Exponent, -1, 1, false},
    {56, "√x", SquareRoot, 0, 1, false},
    {80, "|x|", Modulus, -1, 1, true},
};

void DrawGraph(TCanvas& canvas, const TPictureBox& box, const char* label,
               std::initializer_list<std::vector<TUnit>> branches, bool labelBelow) {
  DrawFrame(canvas, box);
  DrawCharacteristicAxes(canvas, box);
  for (const std::vector<TUnit>& b : branches) DrawCurve(canvas, box, b);
  canvas.SetFont(kSmallFont, kSmallSize, kBlack);
  const TPoint e = canvas.TextExtent(label);
  const int y = labelBelow ? box.Frame.Bottom - e.Y - 1 : box.Frame.Top + 1;
  canvas.Text(box.Frame.Left + 2, y, label);
}

}  // namespace

bool DrawFunctionPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  if (obj.TypeCode == 42) {  // 1/x: two branches
    DrawGraph(canvas, box, "1/x",
              {SampleCurve(Reciprocal, -1, -0.2, 16, 1, 1), SampleCurve(Reciprocal, 0.2, 1, 16, 1, 1)},
              false);
    return true;
  }
  for (const TFunctionLook& f : kLooks)
    if (f.Code == obj.TypeCode) {
      DrawGraph(canvas, box, f.Label, {SampleCurve(f.F, f.X0, f.X1, 24, 1, 1)}, f.LabelBelow);
      return true;
    }
  return false;
}

}  // namespace vemo::pictures
