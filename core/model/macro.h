// The macro block: a sub-scheme kept in another project file whose blocks
// join the run list of the scheme that uses it.
#pragma once
#include <memory>
#include <string>

#include "blocks/cell_object.h"

namespace vemo {

// The memory the macro bodies of one check may take. Each body copy counts
// 1 KiB for its field and, for each of its cells, 256 bytes and the cell's
// record, more than either takes; bodies beyond the budget stop the check
// with kNoMemoryCode. 256 MiB holds a copy of a ten-cell body for every one
// of the 40,000 cells of a scheme.
inline constexpr uint64_t kMacroBodyBudget = uint64_t{256} << 20;
inline constexpr uint64_t kBodyFieldCost = 1024;
inline constexpr uint64_t kBodyCellCost = 256;
// What a copy of the body counts against the budget.
uint64_t BodyCost(const TField& body);

class TMacroBlock : public TBlock {
 public:
  std::string Caption = "A";  // at most 5 characters
  std::string BodyFile;       // at most 127 characters
  TField* BodyOwner = nullptr;
  std::unique_ptr<TField> Body;

  TMacroBlock();
  ~TMacroBlock() override;
  uint8_t EditorKind() const override { return 4; }
  std::string GetName() const override { return "Макровставка"; }
  void Prepare(TField* owner) override;
  void Check() override;
  void Step() override {
    Output = Inputs[Right]->Output;
    Stepped = Inputs[Right]->Stepped;
  }
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void GenerateCode(TCodeWriter& writer, std::string& varName) override;
};

}  // namespace vemo
