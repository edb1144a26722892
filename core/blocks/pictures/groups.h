// The picture families behind DrawBlockPicture. Each draws the kinds it
// knows and returns false for any other type code.
#pragma once
#include <cstdint>

#include "blocks/pictures/picture_kit.h"

namespace vemo {
class TCellObject;
struct PointTable;
}

namespace vemo::pictures {

bool DrawSourcePicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawArithmeticPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawLinearPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawNonlinearPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawFunctionPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawPulsePicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);
bool DrawEventAndBoxPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj);

// A drawn table scaled into the symbol area: y symmetric about 0; x
// symmetric about 0 too (a characteristic) or spread over the width (a
// function of time). Empty for fewer than two points.
std::vector<TUnit> TableCurve(const PointTable& table, bool symmetricX);

// The parameter i of a parametric block, or fallback for any other object.
double ParamOf(const TCellObject& obj, int i, double fallback);

}  // namespace vemo::pictures
