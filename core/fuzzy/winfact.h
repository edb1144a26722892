// The text format of the WinFACT fuzzy design tool (".fuz"): variables
// with their triangle and trapezoid terms, one line per rule with the term
// of each variable, and the inference method. It holds less than the
// program's own model, so the export checks the model first.
#pragma once
#include <string>
#include <string_view>

#include "fuzzy/fuzzy_model.h"

namespace vemo {

inline constexpr const char* kWinFACTRefused = "Данные не могут быть сохранены в формате WinFACT.";

// Whether the model fits the format: every term a triangle (3 points) or a
// trapezoid with a flat top (4 points) standing on Y <= 0.005 at both ends;
// every rule's premises joined only by "И", and exactly one conclusion.
bool FitsWinFACT(const TFuzzyModel& m);

// The file's text (Windows-1251, CR LF lines) for a model that fits.
std::string WinFACTText(const TFuzzyModel& m);

enum class TWinFACTExport { Written, DoesNotFit, WriteFailed };
// Nothing is written for a model that does not fit; the file is replaced
// only when every byte is written.
TWinFACTExport ExportWinFACT(const TFuzzyModel& m, const std::string& path);

// Replaces the model by the text's contents (Windows-1251). lastOutput is
// the index of the last output ("A") variable, -1 when there is none.
// Stops at the first damaged or missing line and returns false, keeping
// what was read before it.
bool ParseWinFACT(std::string_view text, TFuzzyModel& m, int& lastOutput);
// The same from a file; false also when the file cannot be read.
bool ImportWinFACT(TFuzzyModel& m, const std::string& path, int& lastOutput);

}  // namespace vemo
