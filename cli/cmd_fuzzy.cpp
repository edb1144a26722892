// fuzzy show|eval|convert|put|plot: the fuzzy controller's model files, its
// inference and the model of a scheme's fuzzy block.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli_common.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_infer.h"
#include "fuzzy/fuzzy_rules.h"
#include "fuzzy/winfact.h"
#include "plot_output.h"
#include "shell/encoding.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo::cli {

namespace {

const char* const kSideNames[] = {"сверху", "слева", "снизу", "справа"};

std::string Extension(const std::string& path) {
  std::string e = std::filesystem::path(path).extension().string();
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e;
}

// "COL,ROW" of --block.
bool BlockCell(const TArgs& a, int& col, int& row) {
  const std::string s = a.Options.at("--block");
  const size_t comma = s.find(',');
  if (comma == std::string::npos) return false;
  auto num = [](std::string_view t, int& v) {
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size() && v >= 0 && v < kGridSize;
  };
  return num(std::string_view(s).substr(0, comma), col) && num(std::string_view(s).substr(comma + 1), row);
}

// The fuzzy block of a project at --block; nullptr after the message, with
// the exit status in exit.
TFuzzyBlock* FindBlock(const TArgs& a, TField& field, int& exit) {
  int col = 0, row = 0;
  if (!BlockCell(a, col, row)) {
    exit = UsageError("--block: COL,ROW within 0.." + std::to_string(kGridSize - 1));
    return nullptr;
  }
  auto* b = dynamic_cast<TFuzzyBlock*>(field.Cell(col, row));
  if (!b) {
    std::cerr << "vemo-cli: в клетке (" << col << "," << row << ") нет нечеткого регулятора\n";
    exit = kExitFailure;
  }
  return b;
}

// A model from a ".fz" or ".fuz" file. side receives the output side a
// ".fuz" file asks for (the last output variable below 4), else stays.
bool LoadModelFromFile(const std::string& path, TFuzzyModel& m, uint8_t& side) {
  const std::string ext = Extension(path);
  bool ok = false;
  if (ext == ".fz") {
    ok = LoadModelFile(m, path);
  } else if (ext == ".fuz") {
    int last = -1;
    ok = ImportWinFACT(m, path, last);
    if (last >= 0 && last < 4) side = static_cast<uint8_t>(last);
  } else {
    UsageError(path + ": a fuzzy model is a .fz or .fuz file, or FILE.vmo --block COL,ROW");
    return false;
  }
  if (!ok) std::cerr << "vemo-cli: " << path << ": " << kReadError << "\n";
  return ok;
}

// The model of MODEL (positional argument k): a model file, or the block of
// a project. exit is set when it could not be had.
struct TModelArg {
  TFuzzyModel Model;
  uint8_t Side = Right;
  bool FromBlock = false;
};

bool LoadModelArg(const TArgs& a, size_t k, TModelArg& out, int& exit) {
  if (a.Positional.size() <= k) {
    exit = UsageError(a.Positional.empty() ? "fuzzy: expected show, eval, convert, put or plot"
                                           : "fuzzy " + a.Positional[0] + ": expected MODEL");
    return false;
  }
  const std::string& path = a.Positional[k];
  if (Extension(path) == ".vmo") {
    if (!a.Has("--block")) {
      exit = UsageError(path + ": --block COL,ROW names the fuzzy block");
      return false;
    }
    TFileProjects projects;
    auto field = LoadProject(path, projects);
    exit = kExitFailure;
    if (!field) return false;
    TFuzzyBlock* b = FindBlock(a, *field, exit);
    if (!b) return false;
    out.Model = b->Model;
    out.Side = b->OutputSide;
    out.FromBlock = true;
    return true;
  }
  exit = kExitFailure;
  return LoadModelFromFile(path, out.Model, out.Side);
}

std::string Point(const TShapePoint& q) {
  return "(" + FormatNumber(q.X) + "; " + FormatNumber(q.Y) + ")";
}

int Show(const TArgs& a) {
  TModelArg in;
  int exit = 0;
  if (!LoadModelArg(a, 1, in, exit)) return exit;
  const TFuzzyModel& m = in.Model;
  std::cout << "Метод: " << MethodName(m.Method) << "\n";
  if (in.FromBlock) std::cout << "Выход: " << kSideNames[in.Side & 3] << "\n";
  auto terms = [&](size_t v) {
    for (const TFuzzyTerm& t : m.Terms) {
      if (t.VarIndex != v) continue;
      std::cout << "  " << t.Name << ":";
      for (const TShapePoint& q : t.Shape.Points) std::cout << " " << Point(q);
      std::cout << "\n";
    }
  };
  for (size_t v = 0; v < m.Variables.size(); ++v) {
    std::cout << "Переменная " << v + 1 << ": "
              << (m.Variables[v].Name.empty() ? "(нет)" : m.Variables[v].Name)
              << (IsOutputVariable(m, v) ? " (выход)" : "") << "\n";
    terms(v);
  }
  std::set<uint32_t> orphans;
  for (const TFuzzyTerm& t : m.Terms)
    if (t.VarIndex >= m.Variables.size()) orphans.insert(t.VarIndex);
  if (!orphans.empty()) std::cout << "Функции без переменной:\n";
  for (uint32_t v : orphans) terms(v);
  std::cout << "Правила: " << RuleCount(m) << "\n" << RulesText(m);
  return kExitOk;
}

int Eval(const TArgs& a) {
  TModelArg in;
  int exit = 0;
  if (!LoadModelArg(a, 1, in, exit)) return exit;
  TFuzzyModel& m = in.Model;
  for (size_t k = 2; k < a.Positional.size(); ++k) {
    const std::string& s = a.Positional[k];
    const size_t eq = s.find('=');
    if (eq == std::string::npos) return UsageError("fuzzy eval: NAME=VALUE expected (" + s + ")");
    const int v = FindVariable(m, s.substr(0, eq));
    if (v < 0) return UsageError("fuzzy eval: no variable " + s.substr(0, eq));
    if (!ParseNumber(s.substr(eq + 1), m.Variables[static_cast<size_t>(v)].Value))
      return UsageError(std::string(kBadNumberFormat) + " (" + s + ")");
  }
  Infer(m);
  for (size_t v = 0; v < m.Variables.size(); ++v)
    if (IsOutputVariable(m, v))
      std::cout << m.Variables[v].Name << " = " << FormatReal23(m.Variables[v].Value) << "\n";
  return kExitOk;
}

// Writes a model as OUT's extension says; false after the message.
bool WriteModel(const TFuzzyModel& m, const std::string& path) {
  const std::string ext = Extension(path);
  if (ext == ".fz") {
    if (SaveModelFile(m, path)) return true;
  } else if (ext == ".fuz") {
    switch (ExportWinFACT(m, path)) {
      case TWinFACTExport::Written: return true;
      case TWinFACTExport::DoesNotFit: std::cerr << kWinFACTRefused << "\n"; return false;
      case TWinFACTExport::WriteFailed: break;
    }
  } else {
    UsageError(path + ": the output is a .fz or .fuz file");
    return false;
  }
  std::cerr << "vemo-cli: " << path << ": " << kWriteError << "\n";
  return false;
}

int Convert(const TArgs& a) {
  if (!a.Has("-o")) return UsageError("fuzzy convert: expected IN -o OUT");
  const std::string out = a.Options.at("-o");
  if (Extension(out) != ".fz" && Extension(out) != ".fuz")
    return UsageError(out + ": the output is a .fz or .fuz file");
  TModelArg in;
  int exit = 0;
  if (!LoadModelArg(a, 1, in, exit)) return exit;
  return WriteModel(in.Model, out) ? kExitOk : kExitFailure;
}

// A rules file: UTF-8 when it is valid UTF-8, otherwise Windows-1251 (the
// editor's own rule files).
std::string RulesFileText(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (n == 9 || (n > 0 && i + n >= bytes.size())) return Cp1251ToUtf8(bytes);
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) >> 6) != 2) return Cp1251ToUtf8(bytes);
    i += n + 1;
  }
  return bytes;
}

int Put(const TArgs& a) {
  if (a.Positional.size() != 2 || !a.Has("--block") || !a.Has("--model") || !a.Has("-o"))
    return UsageError("fuzzy put: expected FILE.vmo --block COL,ROW --model MODEL [--rules RULES.txt] -o OUT.vmo");
  TFileProjects projects;
  auto field = LoadProject(a.Positional[1], projects);
  if (!field) return kExitFailure;
  int exit = 0;
  TFuzzyBlock* b = FindBlock(a, *field, exit);
  if (!b) return exit;
  TFuzzyModel m;
  uint8_t side = b->OutputSide;
  if (!LoadModelFromFile(a.Options.at("--model"), m, side)) return kExitFailure;
  if (a.Has("--rules")) {
    std::string bytes;
    if (!ReadWholeFile(a.Options.at("--rules"), bytes)) {
      std::cerr << "vemo-cli: " << a.Options.at("--rules") << ": " << kReadError << "\n";
      return kExitFailure;
    }
    const TRuleFailure f = CompileRules(m, RulesFileText(bytes));
    if (f.Line >= 0) {
      std::cerr << "Ошибка " << 20 + Prog.Err.FuzzyError << ": " << RuleErrorMessage(Prog.Err.FuzzyError)
                << " (строка " << f.Line + 1 << ", позиция " << f.Position << ")\n";
      return kExitFailure;
    }
  }
  b->Model = std::move(m);
  b->OutputSide = side;
  return SaveField(*field, a.Options.at("-o")) ? kExitOk : kExitFailure;
}

int Plot(const TArgs& a) {
  if (!a.Has("--var") || !a.Has("--plot")) return UsageError("fuzzy plot: expected MODEL --var NAME --plot OUT.png");
  int width = 0, height = 0;
  if (!PlotOptions(a, width, height)) return kExitUsage;
  TModelArg in;
  int exit = 0;
  if (!LoadModelArg(a, 1, in, exit)) return exit;
  const int v = FindVariable(in.Model, a.Options.at("--var"));
  if (v < 0) return UsageError("fuzzy plot: no variable " + a.Options.at("--var"));
  const TPlotOutputs* plots = PlotOutputs();
  return plots && plots->WriteMembership(in.Model, static_cast<size_t>(v), a.Options.at("--plot"),
                                         width, height)
             ? kExitOk
             : kExitFailure;
}

}  // namespace

int CmdFuzzy(const TArgs& a) {
  const std::string sub = a.Positional.empty() ? std::string() : a.Positional[0];
  if (sub == "show") return Show(a);
  if (sub == "eval") return Eval(a);
  if (sub == "convert") return Convert(a);
  if (sub == "put") return Put(a);
  if (sub == "plot") return Plot(a);
  return UsageError("fuzzy: expected show, eval, convert, put or plot");
}

}  // namespace vemo::cli
