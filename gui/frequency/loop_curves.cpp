#include "frequency/loop_curves.h"

#include "frequency/contour.h"
#include "frequency/frequency_state.h"
#include "shell/program.h"

namespace vemo {

bool SplitNonlinearPart(TField& field, int start, int end, const TLoopRequest& request,
                        TLoopCurves& out, const TDescribingProgress& progress) {
  const bool required = request.Popov || request.WantCurve;
  out.Options = THodographOptions{};
  out.Options.Popov = request.Popov;
  out.HaveCurve = false;
  out.Curve = TDescribingCurve{};
  out.HaveSector = false;
  out.Popov = TPopovVerdict{};
  out.Refusal.clear();

  Prog.Err.ErrorCode = 0;
  const TNonlinearPart part = FindNonlinearPart(field, start, end);
  if (Prog.Err.ErrorCode) {
    if (required) return false;
    // A hodograph without a nonlinear part to look at.
    Prog.Err.ErrorCode = 0;
    Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
    return true;
  }
  const TChainClass cls = ClassifyNonlinearChain(part.Entry, part.Last);
  out.Refusal = ChainRefusalText(cls.Code);
  if (!out.Refusal.empty()) {
    // No curve and no sector; Popov's verdict is then that it does not fit.
    out.HaveSector = request.Popov;
    if (!required) out.Refusal.clear();
    return true;
  }
  ApplyPulseTransformation(cls, out.Options);
  if (request.Popov) {
    out.Popov.Sector = PopovSector(cls, part.Entry, part.Last);
    out.HaveSector = true;
  }
  if (request.WantCurve) {
    BuildDescribingCurve(cls, part.Entry, part.Last, request.StepDegrees, out.Curve, progress);
    out.HaveCurve = true;
  }
  return true;
}

bool TraceHodograph(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                    TLoopCurves& out) {
  out.H = THodograph{};
  out.HaveHodograph = false;
  if (!BuildHodograph(form, delay, lgwMin, lgwMax, out.Options, out.H)) {
    SetError(kMathErrorCode);
    return false;
  }
  out.HaveHodograph = true;
  out.Popov.Line = TPopovLine{};
  if (out.HaveSector && out.Popov.Sector.Fits)
    out.Popov.Line = FindPopovLine(out.H.Points, out.Popov.Sector.K);
  return true;
}

}  // namespace vemo
