// The curves of the hodograph window and how they are obtained from a
// contour: the nonlinear part of the contour (its pulse transformation of
// the hodograph, its describing-function curve, its Popov sector) and the
// hodograph of the linear part. The same steps as the batch program's
// nyquist, margins and popov commands, so that both give the same curves.
#pragma once
#include <string>

#include "frequency/describing.h"
#include "frequency/hodograph.h"
#include "frequency/popov.h"

namespace vemo {

struct TField;

struct TLoopCurves {
  THodographOptions Options;  // Popov's modification, the pulse shaper
  bool HaveHodograph = false;
  THodograph H;
  bool HaveCurve = false;
  TDescribingCurve Curve;
  bool HaveSector = false;  // the Popov command looked at the nonlinear part
  TPopovVerdict Popov;
  // The message of a nonlinear part the curve cannot be built for ("" when
  // there is none); the window shows it and stays without the curve.
  std::string Refusal;
};

// What the window asks of the nonlinear part.
struct TLoopRequest {
  bool Popov = false;      // the Popov command: the part is required, its sector found
  bool WantCurve = false;  // the ЭККУ: the part is required, its curve built
  double StepDegrees = 0.01;
};

// Split: finds the nonlinear part of the contour start..end on the compiled
// field (ErrorCode 16 or 19 when it is required and cannot be found; a
// hodograph alone just goes without it), classifies it, applies its pulse
// transformation and builds what the request asks for. The blocks of the
// part are used only inside this call. False with ErrorCode set.
bool SplitNonlinearPart(TField& field, int start, int end, const TLoopRequest& request,
                        TLoopCurves& out, const TDescribingProgress& progress = {});

// The hodograph of the form (with the options of the split) over the lg w
// range; in the Popov command also the Popov line. False with ErrorCode 18
// on a fault of the evaluation.
bool TraceHodograph(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                    TLoopCurves& out);

}  // namespace vemo
