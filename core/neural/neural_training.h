// Training of a neural block through the optimiser: every weight of every
// layer becomes an optimised parameter within the typed bounds, and the
// criterion compares the signal at the output point with the signal at the
// reference point.
#pragma once
#include <functional>

#include "optimisation/optimise.h"

namespace vemo {

struct TField;
struct TSettings;
class TNeuralBlock;

inline constexpr const char* kSamePoints =
    "Точка выхода не должна совпадать с точкой эталоного сигнала.";
inline constexpr const char* kTooManyWeights =
    "Слишком много весов для обучения: оптимизатор принимает не более 1000 параметров.";

// Fills the optimiser's table with the block's weights, layer by layer in
// storage order, each in [minWeight, maxWeight] on the linear scale. False
// (the table untouched) when the block is not in the field's cells or has
// more weights than the table holds.
bool BindNetWeights(TField& field, TNeuralBlock& block, double minWeight, double maxWeight);

struct TTrainRequest {
  int ReferencePoint = 0;  // 0..11
  int OutputPoint = 1;
  double MinWeight = -10.0, MaxWeight = 10.0;
  double Time = 10.0;      // transient time of every run
  unsigned Workers = 1;
};

// Binds the weights and runs the method of the settings in network-training
// mode on the prepared field. False when the weights could not be bound.
bool TrainNetwork(TField& field, TNeuralBlock& block, const TSettings& settings,
                  const TTrainRequest& request, TOptProgress& progress, TOptOutcome& outcome,
                  const std::function<void()>& display = {});

}  // namespace vemo
