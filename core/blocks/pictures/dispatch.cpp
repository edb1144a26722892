#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "blocks/pictures/pictures.h"

namespace vemo {

namespace pictures {

double ParamOf(const TCellObject& obj, int i, double fallback) {
  const auto* p = dynamic_cast<const TParamBlock*>(&obj);
  if (!p || i < 0 || i >= p->ParamCount || i > 3) return fallback;
  return p->Params[i];
}

}  // namespace pictures

void DrawBlockPicture(TCanvas& canvas, const TRect& cell, const TCellObject& obj) {
  using namespace pictures;
  const TPictureBox box = MakeBox(cell);
  using TFamily = bool (*)(TCanvas&, const TPictureBox&, const TCellObject&);
  static constexpr TFamily kFamilies[] = {
      DrawSourcePicture, DrawArithmeticPicture, DrawLinearPicture, DrawNonlinearPicture,
      DrawFunctionPicture, DrawPulsePicture, DrawEventAndBoxPicture,
  };
  for (TFamily family : kFamilies)
    if (family(canvas, box, obj)) return;
  DrawFrame(canvas, box);
}

}  // namespace vemo
