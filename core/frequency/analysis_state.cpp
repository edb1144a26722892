#include "frequency/analysis_state.h"

namespace vemo {

TAnalysisState Analysis;

void ResetAnalysisState() {
  FracFree(Analysis.W);
  Analysis.Form.Release();
  Analysis = TAnalysisState{};
}

void ClearTransferResults() {
  FracFree(Analysis.W);
  Analysis.Form.Release();
  Analysis.Form = TZeroPoleForm{};
  Analysis.Delay = 0.0L;
}

}  // namespace vemo
