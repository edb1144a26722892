// The network text file ("Vemo Neuro Netware File"): layer count, then per
// layer its function, neuron count and weights in storage order, one weight a
// line in the 23-character real format; lines end with CR LF.
#pragma once
#include <string>
#include <string_view>

#include "neural/neural_net.h"

namespace vemo {

inline constexpr const char* kNetFileHeader = "Vemo Neuro Netware File";
inline constexpr const char* kNetSaveError = "Ошибка в сохранении файла!";
inline constexpr const char* kNetLoadError = "Ошибка в загрузке файла!";

// The file's text for the net.
std::string NetFileText(const TNeuroNet& net);
// Reads the text into the net (its input count stays). Any mismatch of a
// label, a number that does not read, a count out of range or lines missing:
// false, and the net is left without layers.
bool ParseNetFile(std::string_view text, TNeuroNet& net);

// The two file operations; false on any failure (a failed load leaves the net
// without layers, a failed save leaves the old file as it was).
bool SaveNetFile(const TNeuroNet& net, const std::string& path);
bool LoadNetFile(TNeuroNet& net, const std::string& path);

}  // namespace vemo
