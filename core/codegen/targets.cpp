#include "codegen/targets.h"

#include "shell/encoding.h"

namespace vemo {

namespace {

const TTargetInfo kTargets[kTargetCount] = {
    {"Pascal", "pas", "pascal"},
    {"C++", "c", "c"},
    {"QBasic", "bas", "qbasic"},
    {"Assembler 80x86", "asm", "x86"},
    {"Asm51", "a51", "asm51"},
    {"Asm96", "a96", "asm96"},
    {"DEC", "a27", "dec"},
};

}  // namespace

const TTargetInfo& TargetInfo(TTarget t) { return kTargets[static_cast<int>(t) % kTargetCount]; }

bool TargetOfKey(const std::string& key, TTarget& t) {
  for (int i = 0; i < kTargetCount; ++i)
    if (key == kTargets[i].Key) {
      t = static_cast<TTarget>(i);
      return true;
    }
  return false;
}

std::unique_ptr<TCodeWriter> MakeWriter(TTarget t, const std::string& fileName, double step,
                                        const TWriterOptions& o) {
  switch (t) {
    case TTarget::Pascal: return MakePascalWriter(fileName, step);
    case TTarget::C: return MakeCWriter(fileName, step);
    case TTarget::QBasic: return MakeQBasicWriter(fileName, step);
    case TTarget::X86: return MakeX86Writer(fileName, step, o.Use386);
    case TTarget::Asm51: return MakeAsm51Writer(fileName, step, static_cast<uint8_t>(o.Address));
    case TTarget::Asm96: return MakeAsm96Writer(fileName, step, o.Address);
    case TTarget::Dec: return MakeDecWriter(fileName, step, o.Address);
  }
  return nullptr;
}

std::string BoxBorder(const std::string& open, const std::string& close, char fill, size_t width) {
  return open + std::string(width + 2, fill) + close;
}

std::string BoxLine(const std::string& open, const std::string& close, const std::string& text,
                    size_t width) {
  std::string s = open + " " + text;
  if (close.empty()) return s;
  const size_t n = Utf8Length(text);
  if (n < width) s.append(width - n, ' ');
  return s + " " + close;
}

}  // namespace vemo
