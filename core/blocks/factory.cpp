// The single factory of cell objects.
#include "blocks/arithmetic.h"
#include "blocks/linear.h"
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
