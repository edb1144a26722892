#include "blocks/block_dialogs.h"

namespace vemo {

bool EditMacroBlock(TMacroBlock&, QWidget*) { return false; }
bool EditParamControl(TParamControl&, TParamBlock&, QWidget*) { return false; }
bool EditPulseWidthModulator(TPulseWidthModulator&, QWidget*) { return false; }
bool EditPulseFrequencyModulator(TPulseFrequencyModulator&, QWidget*) { return false; }
bool EditUserBlock(TUserBlock&, QWidget*) { return false; }

}  // namespace vemo
