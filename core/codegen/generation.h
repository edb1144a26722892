// Program generation as the dialog and the batch program run it: the
// checks of the dialog's "Генерация" button, the three-pass driver, and the
// settings kept between openings of the dialog.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codegen/targets.h"

namespace vemo {

struct TField;

// Kept while the program runs (not in the settings file).
struct TCodegenSettings {
  double Step = 0.01;
  uint16_t Address[kTargetCount] = {0, 0, 0, 0, 0x64, 0x0034, 060000};
};
TCodegenSettings& CodegenSettings();
void ResetCodegenSettings();

// The address text shown for a target: "64h", "0034h", "60000o"; empty for
// targets without an address.
std::string AddressText(TTarget t, uint16_t address);
bool HasAddress(TTarget t);
// Reads an address as the dialog does; false when it is not one.
bool ParseAddress(TTarget t, const std::string& text, uint16_t& address);

// What the person chose in the dialog. Points are indexes 0..11 (A..L), in
// the order of the lists (letter order).
struct TGenerationChoice {
  TTarget Target = TTarget::Pascal;
  std::vector<int> Inputs, Outputs;
  std::string StepText;
  std::string AddressText;
  bool Use386 = false;
};

// The control a refused choice sends the focus to.
enum class TChoiceFocus { None, Step, Address };

// Steps 1 to 4: the first check that fails shows its message and returns
// false. On success the step and the writer's options are filled and
// remembered for the next opening.
bool CheckGenerationChoice(const TGenerationChoice& c, double& step, TWriterOptions& options,
                           TChoiceFocus& focus);

// The save dialog's pieces: the filter and the proposed name (the target's
// extension in place of any the name had).
std::string SaveFilter(TTarget t);
std::string WithExtension(const std::string& name, TTarget t);

// The three passes over the contour whose lists the writer holds. The
// result is in ErrorCode; the marks the walk set are cleared again. field
// may be nullptr (then only the walk's own marks are cleared).
void GenerateProgram(TCodeWriter& writer, TField* field);

enum class TGenerationOutcome { Written, Refused, WriteFailed };

// Steps 6 to 9 on a compiled field: the writer, its lists from the chosen
// points, the driver, the Asm51 warning, closing the file. A block without
// code generation ends as Refused (its message shown; the file holds what
// was written); a file that cannot be written shows "Ошибка в записи
// файла!".
TGenerationOutcome GenerateFile(TField& field, const TGenerationChoice& c, double step,
                                const TWriterOptions& options, const std::string& fileName);

// The text a generation writes (no file), for tests and benchmarks; empty
// and ErrorCode set when the generation was refused.
std::string GenerateText(TField& field, TTarget t, const std::vector<int>& inputs,
                         const std::vector<int>& outputs, double step,
                         const TWriterOptions& options = {});

// Messages of the dialog.
inline constexpr const char* kSamePointMessage = "Начало и конец контура не должны совпадать.";
inline constexpr const char* kNoInputMessage = "Следует пометить хоть одну входную точку!";
inline constexpr const char* kNoOutputMessage = "Следует пометить хоть одну выходную точку!";
inline constexpr const char* kBadAddressMessage = "Неверный адрес блока переменных!";
inline constexpr const char* kRegisterAreaMessage =
    "Блок переменных \"залез\" в область регистров специальных функция (80h..FFh)!";
inline constexpr const char* kSwitchWiringMessage =
    "Не могу сгенерировать код, т.к. блок структуры неверно подключен!";

}  // namespace vemo
