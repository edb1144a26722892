// What the four assembler writers share: control flow built from a few
// jumps, comment boxes, a pool of numeric constants, and (for the
// microcontroller targets) the variable block at MemBase.
#pragma once
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "codegen/code_writer.h"

namespace vemo {

class TAsmWriter : public TCodeWriter {
 public:
  using TCodeWriter::TCodeWriter;

 protected:
  // --- The target's instructions. ---
  // Jump to label unless "a relation b" holds.
  virtual void JumpUnless(const TOperand& a, TRelation r, const TOperand& b,
                          const std::string& label) = 0;
  virtual void Jump(const std::string& label) = 0;
  // Count := n; leave for exit when Count is not above 0 (body follows
  // the label body); Count := Count - 1 (scratch: a label the target may use).
  virtual void CountSet(int n) = 0;
  virtual void ExitUnlessCount(const std::string& exit, const std::string& body) = 0;
  virtual void CountDec(const std::string& scratch) = 0;

  // One instruction line: a tab, the mnemonic, a tab, the operands.
  void Ins(const std::string& mnemonic, const std::string& operands = std::string());
  void Place(const std::string& label) { RawLine(label + ":"); }
  // A fresh label: stem followed by a number unique in the file.
  std::string Fresh(const std::string& stem) { return stem + std::to_string(NextLabel()); }
  // ";"-comment box of lines, as wide as the widest.
  void CommentBox(std::initializer_list<std::string> lines);
  // The name of a constant in the pool (one per distinct number).
  std::string PoolName(const TOperand& literal);
  const std::vector<std::pair<std::string, std::string>>& Pool() const { return pool_; }

  // Control flow in terms of the instructions above.
  void WriteIf(const TOperand& a, TRelation r, const TOperand& b) override;
  void WriteElse() override;
  void WriteEndIf() override;
  void WriteLabel(const std::string& name) override { Place(name); }
  void WriteGoto(const std::string& name) override { Jump(name); }
  void WriteLoop(int count) override;
  void WriteEndLoop() override;
  void WriteVarComment(const std::string& name) override { RawLine("; " + name); }

 private:
  struct TOpen {
    std::string Else, End;
    bool HasElse = false;
  };
  std::vector<TOpen> ifs_;
  std::vector<std::string> loops_;
  std::vector<std::pair<std::string, std::string>> pool_;  // name, number text
};

// The microcontroller targets keep every variable in one block of memory at
// MemBase: the inputs, the outputs, what the target's header adds, then the
// variables in the order they are declared and the temporaries.
class TMemBaseWriter : public TAsmWriter {
 public:
  TMemBaseWriter(std::string fileName, double step, uint16_t address)
      : TAsmWriter(std::move(fileName), step), address_(address) {}
  int VarBlockSize() const override { return size_; }

 protected:
  // The equate of a name at MemBase + offset.
  virtual void Equ(const std::string& name, int offset, const std::string& comment) = 0;
  int Reserve(int bytes) {
    const int at = size_;
    size_ += bytes;
    return at;
  }
  uint16_t BlockAddress() const { return address_; }
  // Inputs and outputs first: their equates are part of the header.
  void EquInputsAndOutputs(const std::string& inComment, const std::string& outComment);
  void EquTemps();
  void DeclareScalar(const std::string& name, const std::string& comment) override {
    Equ(name, Reserve(4), comment);
  }

 private:
  uint16_t address_;
  int size_ = 0;
};

// A value in the fixed-point format of the microcontroller targets: two's
// complement, 16 integer and 16 fraction bits, rounded to nearest and held
// at the ends of the range.
int32_t ToFix(double x);

}  // namespace vemo
