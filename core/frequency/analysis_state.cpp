#include "frequency/analysis_state.h"

namespace vemo {

TAnalysisState Analysis;

void ResetAnalysisState() {
  FracFree(Analysis.W);
  Analysis.Form.Release();
  Analysis = TAnalysisState{};
}

}  // namespace vemo
