// The single factory of cell objects.
#include "blocks/arithmetic.h"
#include "blocks/events.h"
#include "blocks/linear.h"
#include "blocks/nonlinear.h"
#include "blocks/param_control.h"
#include "blocks/pulse.h"
#include "blocks/registry.h"
#include "blocks/sources.h"
#include "blocks/table_blocks.h"
#include "fuzzy/fuzzy_block.h"
#include "model/macro.h"
#include "model/wire.h"
#include "neural/neural_block.h"
#include "plugins/user_block.h"

namespace vemo {

namespace {

std::unique_ptr<TCellObject> MakeObject(uint16_t code) {
  switch (code) {
    case 0: return std::make_unique<TConstant>();
    case 1: case 2: case 3: case 4: case 5: return std::make_unique<TSummer>(code);
    case 6: return std::make_unique<TProportional>();
    case 7: return std::make_unique<TIntegrating>();
    case 8: return std::make_unique<TDifferentiating>();
    case 9: return std::make_unique<TForcing>();
    case 10: return std::make_unique<TAperiodic>();
    case 11: return std::make_unique<TOscillatory>();
    case 12: return std::make_unique<TDelay>();
    case 95: return std::make_unique<TRealDifferentiating>();
    case 13: return std::make_unique<TPulseAmplitude>();
    case 20: return std::make_unique<TDeadZone>();
    case 21: return std::make_unique<TSaturation>();
    case 22: return std::make_unique<TDeadZoneSaturation>();
    case 23: return std::make_unique<TRelay2>();
    case 24: return std::make_unique<TRelay2Hysteresis>();
    case 25: return std::make_unique<TRelay3>();
    case 26: return std::make_unique<TRelay3Hysteresis>();
    case 27: return std::make_unique<TQuantiser>();
    case 28: return std::make_unique<TBacklash>();
    case 29: return std::make_unique<TSawGenerator>();
    case 30: return std::make_unique<TMeanderGenerator>();
    case 32: return std::make_unique<TRandomGenerator>();
    case 33: return std::make_unique<TUnitPulse>();
    case 34: return std::make_unique<TMultiplier>();
    case 35: case 36: return std::make_unique<TStructureSwitch>(code);
    case 39: return std::make_unique<TSpeedSensor>();
    case 41: return std::make_unique<TDivider>();
    case 42: case 43: case 44: case 45: case 46: case 47: case 48: case 49: case 50:
    case 56: case 80:
      return std::make_unique<TFunctionBlock>(code);
    case 52: case 53: return std::make_unique<TExtremum>(code);
    case 55: return std::make_unique<TArcTangent2>();
    case 81: return std::make_unique<TWaitingMultivibrator>();
    case 115: return std::make_unique<THarmonicGenerator>();
    case 37: return std::make_unique<TUserNonlinearity>();
    case 38: return std::make_unique<TFuzzyBlock>();
    case 40: return std::make_unique<TParamControl>();
    case 51: return std::make_unique<TFunctionGenerator>();
    case 54: return std::make_unique<TUserBlock>();
    case 100: return std::make_unique<TPulseWidthModulator>();
    case 101: return std::make_unique<TPulseFrequencyModulator>();
    case 102: return std::make_unique<TNeuralBlock>();
    case kMacroCode: return std::make_unique<TMacroBlock>();
    case kWireCode: return std::make_unique<TWire>();
    case kMacroPortFirst: case kMacroPortFirst + 1: case kMacroPortFirst + 2:
    case kMacroOutputCode:
      return std::make_unique<TMacroPort>();
    case kCommentCode: return std::make_unique<TComment>();
    default: break;
  }
  // Kinds whose own computation is not built yet still exist with their
  // parameters, names and records, so files holding them load and save.
  const TKindInfo* k = FindKind(code);
  if (!k) return nullptr;
  return std::make_unique<TTableParamBlock>(code);
}

}  // namespace

std::unique_ptr<TCellObject> CreateCellObject(uint16_t typeCode) {
  auto obj = MakeObject(typeCode);
  if (obj) obj->TypeCode = typeCode;
  return obj;
}

}  // namespace vemo
