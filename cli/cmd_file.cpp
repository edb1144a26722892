// info and convert: reading and rewriting project files.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "blocks/cell_object.h"
#include "cli_common.h"
#include "model/macro.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo::cli {

namespace {

int FileVersion(const std::string& path) {
  char head[kHeaderSize] = {};
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  const size_t n = std::fread(head, 1, kHeaderSize, f);
  std::fclose(f);
  if (n != kHeaderSize) return 0;
  if (std::memcmp(head, kHeaderV3, kHeaderSize) == 0) return 3;
  if (std::memcmp(head, kHeaderV2, kHeaderSize) == 0) return 2;
  return 0;
}

}  // namespace

int CmdInfo(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("info: expected one project file");
  TFileProjects projects;
  const std::string& path = a.Positional[0];
  auto field = LoadProject(path, projects);
  if (!field) return kExitFailure;
  std::cout << "Версия: " << FileVersion(path) << "\n";
  std::cout << "Шаг расчета (сек): " << FormatNumber(field->Step)
            << (field->AutoStep ? " (автоматический)" : "") << "\n";
  std::cout << "Время просмотра (сек): " << FormatNumber(Prog.Clock.ViewTime) << "\n";
  std::cout << "Точки:";
  bool any = false;
  for (int k = 0; k < kPointCount; ++k) {
    const TViewPoint& p = field->Points[k];
    if (!p.Placed) continue;
    any = true;
    std::cout << " " << PointLetter(k) << "(" << p.Col << "," << p.Row << ")";
  }
  std::cout << (any ? "" : " нет") << "\n";
  int wires = 0, comments = 0;
  for (int row = 0; row < kGridSize; ++row) {
    for (int col = 0; col < kGridSize; ++col) {
      TCellObject* obj = field->Cell(col, row);
      if (!obj) continue;
      if (obj->TypeCode == kWireCode) { ++wires; continue; }
      if (obj->TypeCode == kCommentCode) { ++comments; continue; }
      std::cout << "[" << col << "," << row << "] ";
      if (obj->TypeCode >= kMacroPortFirst) {
        std::cout << "Вход/выход макроса " << obj->TypeCode - kMacroPortFirst << "\n";
        continue;
      }
      std::cout << obj->GetName();
      if (obj->TypeCode == kMacroCode) {
        auto* m = static_cast<TMacroBlock*>(obj);
        std::cout << " \"" << m->Caption << "\" " << m->BodyFile;
      } else if (auto* pb = dynamic_cast<TParamBlock*>(obj)) {
        for (int i = 0; i < pb->ParamCount; ++i)
          std::cout << (i ? "; " : ": ") << pb->GetParamName(i) << " = " << FormatNumber(pb->Params[i]);
      }
      std::cout << "\n";
    }
  }
  std::cout << "Линий: " << wires << ", комментариев: " << comments << "\n";
  return kExitOk;
}

int CmdConvert(const TArgs& a) {
  if (a.Positional.size() != 1 || !a.Has("-o"))
    return UsageError("convert: expected IN.vmo -o OUT.vmo");
  TFileProjects projects;
  auto field = LoadProject(a.Positional[0], projects);
  if (!field) return kExitFailure;
  return SaveField(*field, a.Options.at("-o")) ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
