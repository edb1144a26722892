#include "synthesis/structure.h"

#include <cfenv>

#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/popov.h"
#include "frequency/transfer_text.h"
#include "shell/program.h"
#include "synthesis/inout.h"

namespace vemo {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr uint8_t kSeparationError = 16;
constexpr uint8_t kMathError = 18;
constexpr uint16_t kConstantCode = 0;
// Blocks whose behaviour lies in more than their parameters (a user table,
// a fuzzy model, a network): a copy of type code and parameters would not
// behave like them.
bool KeepsOwnData(uint16_t code) { return code == 37 || code == 38 || code == 102; }

TSynthElement Element(uint16_t code, std::initializer_list<double> params) {
  TSynthElement e;
  e.Code = code;
  int i = 0;
  for (double p : params)
    if (i < 4) e.Params[i++] = p;
  return e;
}

// The output of a chain whose output does not depend on its input.
double ConstantOutput(TBlock* entry, const std::vector<TBlock*>& chain) {
  const double saved = entry->Output;
  for (TBlock* b : chain) b->Start();
  double y = 0.0;
  for (int i = 0; i < 3; ++i) {
    entry->Output = 0.0;
    for (TBlock* b : chain) b->Step();
    y = chain.back()->Output;
  }
  for (TBlock* b : chain) b->Stop();
  entry->Output = saved;
  return y;
}

// The standard block of a classified chain with its own parameter order.
TSynthElement StandardBlock(const TChainClass& c) {
  const double* p = c.Params;
  switch (c.Code) {
    case 21: return Element(21, {p[0], -p[0]});
    case 22: return Element(22, {p[0], p[1], -p[1]});
    case 23: return Element(23, {p[0], -p[0], 0.0});
    case 24:
    case 25: return Element(static_cast<uint16_t>(c.Code), {p[0], -p[0], p[1], -p[1]});
    case 26: return Element(26, {p[0], p[1], p[2], -p[2]});
    case 13: return Element(13, {p[0], p[1]});
    case 101: return Element(101, {});
    default: return Element(static_cast<uint16_t>(c.Code), {p[0]});  // 20, 27, 28
  }
}

bool IsStandardCode(int code) { return code == 13 || (code >= 20 && code <= 28) || code == 101; }

uint8_t LinearElements(const TZeroPoleForm& form, Real delay, std::vector<TSynthElement>& out) {
  std::feclearexcept(kFaults);
  const uint8_t err = DecomposeForm(form, delay, out);
  const bool fault = std::fetestexcept(kFaults) != 0;
  std::feclearexcept(kFaults);
  if (err) return err;
  return fault ? kCannotSynthesise : 0;
}

TSynthOutcome Failed(TSynthStatus s = TSynthStatus::SchemeError) {
  TSynthOutcome o;
  o.Status = s;
  return o;
}

TSynthOutcome Outcome(const TSynthRequest& request) {
  TSynthOutcome o;
  o.Field = BuildStructure(request);
  if (!o.Field) o.Status = TSynthStatus::SchemeError;
  return o;
}

TBlock* PointSource(const TField& field, int k) {
  if (k < 0 || k >= kPointCount) return nullptr;
  return field.Points[k].Source;
}

}  // namespace

uint8_t NonlinearElements(TBlock* entry, TBlock* last, std::vector<TSynthElement>& out, bool& dropLinear) {
  dropLinear = false;
  const TChainClass c = ClassifyNonlinearChain(entry, last);
  const std::vector<TBlock*> chain = NonlinearChain(entry, last);
  switch (c.Code) {
    case kChainBreak:
      if (!Prog.Dialogs || !Prog.Dialogs->AskYesNo(kBreakQuestion)) return kCannotSynthesise;
      // Nothing passes: the output is a constant 0.
      dropLinear = true;
      out.push_back(Element(kConstantCode, {0.0}));
      return 0;
    case kChainConstant:
      if (!Prog.Dialogs || !Prog.Dialogs->AskYesNo(kGeneratorQuestion)) return kCannotSynthesise;
      if (chain.empty()) return kCannotSynthesise;
      dropLinear = true;
      out.push_back(Element(kConstantCode, {ConstantOutput(entry, chain)}));
      return 0;
    case kChainUnsupported:
      return kCannotSynthesise;
    default:
      break;
  }
  if (IsStandardCode(c.Code)) {
    out.push_back(StandardBlock(c));
    return 0;
  }
  if (chain.empty()) return kCannotSynthesise;
  for (const TBlock* b : chain) {
    if (KeepsOwnData(b->TypeCode)) return kNonlinearNotSimplified;
    TSynthElement e;
    e.Code = b->TypeCode;
    if (const auto* pb = dynamic_cast<const TParamBlock*>(b))
      for (int i = 0; i < 4; ++i) e.Params[i] = pb->Params[i];
    out.push_back(e);
  }
  return 0;
}

uint8_t SynthesisChain(const TSynthRequest& r, std::vector<TSynthElement>& chain) {
  chain.clear();
  std::vector<TSynthElement> nonlinear;
  bool dropLinear = false;
  if (r.NonlinearEntry && r.NonlinearLast) {
    if (const uint8_t err = NonlinearElements(r.NonlinearEntry, r.NonlinearLast, nonlinear, dropLinear)) return err;
  }
  std::vector<TSynthElement> linear;
  if (!dropLinear) {
    const Real ownDelay = r.Mode == TSynthMode::Controller ? 0.0L : r.Delay;
    if (const uint8_t err = LinearElements(r.Form, ownDelay, linear)) return err;
    if (r.Mode == TSynthMode::Controller && r.Plant) {
      if (const uint8_t err = LinearElements(*r.Plant, r.Delay, linear)) return err;
    }
  }
  if (r.NonlinearFirst) {
    chain = nonlinear;
    chain.insert(chain.end(), linear.begin(), linear.end());
  } else {
    chain = linear;
    chain.insert(chain.end(), nonlinear.begin(), nonlinear.end());
  }
  // A transfer function of 1 still joins the input to the output.
  if (chain.empty()) chain.push_back(Element(kSynthGain, {1.0}));
  return 0;
}

std::unique_ptr<TField> BuildStructure(const TSynthRequest& request) {
  Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
  std::vector<TSynthElement> chain;
  if (const uint8_t err = SynthesisChain(request, chain)) {
    SetError(err);
    return nullptr;
  }
  auto field = LayoutStructure(chain, request.Mode);
  if (!field) SetError(kCannotSynthesise);
  return field;
}

TSynthOutcome RunSynthesisCommand(std::string_view text) {
  Prog.Err.ErrorCode = 0;
  Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
  ClearTransferResults();
  Analysis.NonlinearEntry = Analysis.NonlinearLast = nullptr;
  if (!ParseTransferFunction(text, Analysis.W)) {
    ShowMessage(kTransferTextError);
    return Failed(TSynthStatus::TextError);
  }
  std::feclearexcept(kFaults);
  bool ok = true;
  Analysis.Form = BuildZeroPoleForm(Analysis.W, &ok);
  if (!ok || std::fetestexcept(kFaults)) {
    std::feclearexcept(kFaults);
    SetError(kMathError);
    return Failed();
  }
  TSynthRequest request;
  request.Form = Analysis.Form;
  return Outcome(request);
}

TSynthOutcome RunSimplifyCommand(TField& field, int start, int end) {
  Analysis.NonlinearEntry = Analysis.NonlinearLast = nullptr;
  if (!RunContourCommand(field, start, end, true)) return Failed();
  TSynthRequest request;
  request.Form = Analysis.Form;
  request.Delay = Analysis.Delay;
  if (field.RunList) {
    TBlock* startBlock = PointSource(field, start);
    TBlock* endBlock = PointSource(field, end);
    const TNonlinearPart part = FindNonlinearPart(field, start, end);
    if (Prog.Err.ErrorCode) {
      // A failure before any nonlinear block was met: the contour is
      // linear, unless a nonlinear block lies on it all the same (on a
      // path the walk had not reached yet).
      bool nonlinear = part.Last != nullptr;
      for (const TBlock* b : BlocksOnPath(field, startBlock, endBlock))
        if (b->Kind == 2) nonlinear = true;
      if (nonlinear) {
        if (!Prog.Err.ErrorCode) SetError(kSeparationError);
        return Failed();
      }
      Prog.Err.ErrorCode = 0;
      Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
    } else {
      Analysis.NonlinearEntry = part.Entry;
      Analysis.NonlinearLast = part.Last;
      request.NonlinearEntry = part.Entry;
      request.NonlinearLast = part.Last;
      if (part.Entry == startBlock) {
        request.NonlinearFirst = true;
      } else if (part.Last == endBlock) {
        request.NonlinearFirst = false;
      } else {
        // Linear elements on both sides of the nonlinear part: one W(s)
        // cannot say which belong before it and which after.
        SetError(kSeparationError);
        return Failed();
      }
    }
  }
  FracFree(Analysis.W);
  return Outcome(request);
}

TSynthOutcome RunControllerCommand(TField& field, int start, int end, double t) {
  if (!(t > kMinControllerTime)) return Failed(TSynthStatus::BadParameter);
  if (!RunContourCommand(field, start, end, true)) return Failed();
  TSynthRequest request;
  if (!ControllerForm(Analysis.Form, static_cast<Real>(t), request.Form)) {
    SetError(kCannotSynthesise);
    return Failed();
  }
  request.Mode = TSynthMode::Controller;
  request.Delay = Analysis.Delay;
  request.Plant = &Analysis.Form;
  return Outcome(request);
}

}  // namespace vemo
