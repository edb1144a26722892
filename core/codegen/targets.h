// The seven target languages of program generation and their writers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "codegen/code_writer.h"

namespace vemo {

// In the order of the dialog's language list.
enum class TTarget : uint8_t { Pascal, C, QBasic, X86, Asm51, Asm96, Dec };
inline constexpr int kTargetCount = 7;

struct TTargetInfo {
  const char* Item;       // the list item ("Pascal", "C++", ...)
  const char* Extension;  // "pas", "c", ...
  const char* Key;        // the batch program's --lang value
};
const TTargetInfo& TargetInfo(TTarget t);
// The target of a --lang value; false when there is none.
bool TargetOfKey(const std::string& key, TTarget& t);

// What a writer is made with besides the file and the step.
struct TWriterOptions {
  bool Use386 = false;    // Assembler 80x86: "80386 и выше"
  uint16_t Address = 0;   // Asm51 (a byte), Asm96 and DEC: the variable block
};

std::unique_ptr<TCodeWriter> MakeWriter(TTarget t, const std::string& fileName, double step,
                                        const TWriterOptions& options);

// The writers, one per target (each in a file of its own).
std::unique_ptr<TCodeWriter> MakePascalWriter(const std::string& fileName, double step);
std::unique_ptr<TCodeWriter> MakeCWriter(const std::string& fileName, double step);
std::unique_ptr<TCodeWriter> MakeQBasicWriter(const std::string& fileName, double step);
std::unique_ptr<TCodeWriter> MakeX86Writer(const std::string& fileName, double step, bool use386);
std::unique_ptr<TCodeWriter> MakeAsm51Writer(const std::string& fileName, double step, uint8_t address);
std::unique_ptr<TCodeWriter> MakeAsm96Writer(const std::string& fileName, double step, uint16_t address);
std::unique_ptr<TCodeWriter> MakeDecWriter(const std::string& fileName, double step, uint16_t address);

// The comment box of the file headers: a border line, the lines padded to
// one width, a border line. open/close are the comment brackets ("{" "}",
// "/*" "*/", ";" ""), fill the border character.
std::string BoxBorder(const std::string& open, const std::string& close, char fill, size_t width);
std::string BoxLine(const std::string& open, const std::string& close, const std::string& text,
                    size_t width);

}  // namespace vemo
