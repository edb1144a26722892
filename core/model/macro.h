// The macro block: a sub-scheme kept in another project file whose blocks
// join the run list of the scheme that uses it.
#pragma once
#include <memory>
#include <string>

#include "blocks/cell_object.h"

namespace vemo {

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
