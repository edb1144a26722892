#include "opt_options.h"

#include <unistd.h>

#include <csignal>
#include <cmath>
#include <iostream>
#include <limits>
#include <vector>

#include "optimisation/field_evaluator.h"
#include "optimisation/methods.h"
#include "optimisation/opt_params.h"
#include "shell/numtext.h"

namespace vemo::cli {

namespace {

// A setting the command line may name: its key, where it lives, its limits
// in the settings dialog, and whether it is a whole number.
struct TNamedSetting {
  const char* Name;
  double* Real;
  int* Whole;
  int* Whole2;  // the same key of the second weights section
  double Min, Max;
};

std::vector<TNamedSetting> NamedSettings(TSettings& s) {
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {"Critery", nullptr, &s.OptCritery, nullptr, 0, 2},
      {"Method", nullptr, &s.OptMethod, nullptr, 0, 2},
      {"ZondCount", nullptr, &s.ZondCount, nullptr, 3, 1000},
      {"ZondIterCount", nullptr, &s.ZondIterCount, nullptr, 1, 100},
      {"SpeedDown", nullptr, &s.SpeedDown, nullptr, 4, 10000},
      {"SpeedDownIters", nullptr, &s.SpeedDownIters, nullptr, 3, 10000},
      {"SpeedDownSingleIters", nullptr, &s.SpeedDownSingleIters, nullptr, 2, 1000},
      {"SpeedDownEps", &s.SpeedDownEps, nullptr, nullptr, 1e-10, inf},
      {"GradDownVolum", &s.GradDownVolum, nullptr, nullptr, 1e-5, 95},
      {"GradDownIters", nullptr, &s.GradDownIters, nullptr, 10, 100000},
      {"GradDownEps", &s.GradDownEps, nullptr, nullptr, 1e-10, inf},
      {"WeightY", nullptr, &s.Sqr1DWeightY, &s.Sqr2DWeightY, 1, 100},
      {"WeightDY", nullptr, &s.Sqr1DWeightDY, &s.Sqr2DWeightDY, 1, 100},
      {"WeightD2Y", nullptr, &s.Sqr2DWeightD2Y, nullptr, 1, 100},
      {"MinWeight", &s.NetMinWeight, nullptr, nullptr, -inf, inf},
      {"MaxWeight", &s.NetMaxWeight, nullptr, nullptr, -inf, inf},
  };
}

bool SetNamed(TSettings& s, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  const std::string name = assignment.substr(0, eq);
  for (const TNamedSetting& n : NamedSettings(s)) {
    if (name != n.Name) continue;
    double v = 0;
    if (eq == std::string::npos || !ParseNumber(assignment.substr(eq + 1), v)) {
      UsageError("--set " + name + ": " + kBadNumberFormat);
      return false;
    }
    if (v < n.Min || v > n.Max || (n.Whole && v != std::floor(v))) {
      UsageError("--set " + name + ": " + kBadParameter);
      return false;
    }
    if (n.Real) *n.Real = v;
    if (n.Whole) *n.Whole = static_cast<int>(v);
    if (n.Whole2) *n.Whole2 = static_cast<int>(v);
    return true;
  }
  UsageError("--set: no setting '" + name + "'");
  return false;
}

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
  // A lock-free atomic store is safe in a signal handler.
  OptState().Stop.store(1);
  g_interrupted = 1;
}

}  // namespace

bool MethodOptions(const TArgs& a, TSettings& s, unsigned& workers) {
  for (const auto& [key, value] : a.All)
    if (key == "--set" && !SetNamed(s, value)) return false;
  if (a.Has("--method")) {
    const std::string m = a.Options.at("--method");
    if (m == "probe") s.OptMethod = kProbeSearch;
    else if (m == "coord") s.OptMethod = kCoordinateDescent;
    else if (m == "grad") s.OptMethod = kGradientDescent;
    else return UsageError("--method: probe, coord or grad") == 0;
  }
  if (a.Has("--criterion")) {
    const std::string c = a.Options.at("--criterion");
    if (c.size() != 1 || c[0] < '0' || c[0] > '2') return UsageError("--criterion: 0, 1 or 2") == 0;
    s.OptCritery = c[0] - '0';
  }
  workers = DefaultWorkers();
  if (a.Has("--jobs")) {
    double j = 0;
    if (!NumberOption(a, "--jobs", j)) return false;
    if (j < 1 || j > 64 || j != std::floor(j)) return UsageError("--jobs: 1..64") == 0;
    workers = static_cast<unsigned>(j);
  }
  return true;
}

bool ParseCell(const std::string& text, int& col, int& row) {
  const size_t comma = text.find(',');
  double c = 0, r = 0;
  if (comma == std::string::npos || !ParseNumber(text.substr(0, comma), c) ||
      !ParseNumber(text.substr(comma + 1), r))
    return false;
  if (c != std::floor(c) || r != std::floor(r) || c < 0 || r < 0 || c >= kGridSize || r >= kGridSize)
    return false;
  col = static_cast<int>(c);
  row = static_cast<int>(r);
  return true;
}

void WithProgress(const std::function<void(TOptProgress&, const std::function<void()>&)>& run) {
  TOptProgress progress;
  const bool terminal = ::isatty(2) != 0;
  int shown = -1;
  std::string label;
  auto display = [&] {
    if (!terminal || (progress.Gauge() / 10 == shown && progress.Label() == label)) return;
    shown = progress.Gauge() / 10;
    label = progress.Label();
    const int bar = shown * 30 / 100;
    std::cerr << "\r[" << std::string(bar, '#') << std::string(30 - bar, '.') << "] " << shown
              << "%  " << label << "   " << std::flush;
  };
  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  run(progress, display);
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
  if (terminal && shown >= 0) std::cerr << "\n";
  if (g_interrupted) std::cerr << "Оптимизация прервана: параметры - лучшие из найденных.\n";
}

std::string CriterionLine(TField& field, const TCriterionSetup& crit, bool stopped) {
  if (stopped) return "J = -";
  std::string j = FormatReal23(Criterion(field, crit, {}));
  if (!j.empty() && j[0] == ' ') j.erase(0, 1);
  return "J = " + j;
}

bool SaveOutput(const TArgs& a, TField& field) {
  if (!a.Has("-o")) return true;
  return SaveField(field, a.Options.at("-o"));  // a failure has been reported
}

}  // namespace vemo::cli
