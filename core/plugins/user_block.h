// The user block, computed by a plug-in library.
#pragma once
#include <string>

#include "blocks/linear.h"
#include "plugins/dll_link.h"

namespace vemo {

class TUserBlock : public TKindBlock {
 public:
  TDLLLink Link;

  TUserBlock() : TKindBlock(54) {}
  ~TUserBlock() override { UnloadDLLLink(Link); }
  uint8_t EditorKind() const override { return 9; }
  // Record: 128 bytes, the name's length byte, its characters, zero filler.
  // The name is kept even while the library is missing, so saving such a
  // project again does not lose it.
  void Save(TMemCursor& c) override { c.ShortString(Link.FileName, 127); }
  bool Load(TLoadCursor& c) override;
  void Done() override { UnloadDLLLink(Link); }
  // Binds the library the record named (see BindNamedLibrary); a refused
  // library is error 37.
  void Prepare(TField* owner) override;
  void Check() override;
  void Start() override;
  void Step() override;
  void Stop() override;
  double GetStepHint() override;
};

}  // namespace vemo
