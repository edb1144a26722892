#include "blocks/dll_skeleton.h"

#include <algorithm>
#include <filesystem>

#include "shell/encoding.h"
#include "shell/file_replace.h"

namespace vemo {

namespace {

using TLines = std::vector<std::string>;

struct TSection {
  bool Optional;        // begins with the note that the entry may be left out
  TLines Comment;
  TLines DelphiHead;    // heading line(s)
  TLines DelphiBody;
  TLines CHead;
  TLines CBody;
};

const std::vector<TSection>& Sections() {
  static const std::vector<TSection> s = {
      {false,
       {"Эта процедура вызывается, когда", "пользователь вызвал \"о программе\""},
       {"  Procedure About; export;"},
       {"    MessageBox(0,'Мой блок пользователя','О DLL-библиотеке',mb_Ok);"},
       {"  void far _pascal _export About()"},
       {"    MessageBox(0,\"Мой блок пользователя\",\"О DLL-библиотеке\",MB_OK);"}},
      {true,
       {"Вызывается при создании нового блока.", "Должна зарезервировать память, если надо",
        "и т.п."},
       {"  procedure OnInit; export;"}, {}, {"  void far _pascal _export OnInit()"}, {}},
      {true, {"Вызывается при закрытии DLL", "Должна выгрузить память из под себя и т.п."},
       {"  procedure OnDone; export;"}, {}, {"  void far _pascal _export OnDone()"}, {}},
      {true,
       {"Вызывается, когда пользователь", "выбрал \"Свойства DLL\"",
        "Процедура должна открыть окно настроек,", "если таковые у нее есть."},
       {"  procedure OnParameters; export;"}, {}, {"  void far _pascal _export OnParameters()"},
       {}},
      {false,
       {"Вызывается при компиляции.", "На входе:", "side_xxx - входы/выходы:", "0 - нет",
        "1 - вход", "2 - выход", "Возвращает:", "TRUE, если все Ok, иначе FALSE."},
       {"  function OnCompile(side_up, side_right, side_down, side_left:Byte):Boolean; export;"},
       {"    OnCompile:=True;"},
       {"  char far _pascal _export OnCompile(char side_up,", "char side_right,",
        "char side_down,", "char side_left)"},
       {"    return 1;"}},
      {false, {"Должная возвращать рекомендуемый", "шаг расчета данного блока."},
       {"  function GetTickStep:double; export;"}, {"    GetTickStep:=1;"},
       {"  double far _pascal _export GetTickStep()"}, {"    return 0.1;"}},
      {true, {"вызывается перед запуском", "dTime - шаг рассчета"},
       {"  procedure OnRun(dTime:double); export;"}, {},
       {"  void far _pascal _export OnRun(double dTime)"}, {}},
      {false,
       {"Вызывается на каждый шаг расчета", "На входе:", "Time  - время в системе",
        "dTime - шаг расчета", "x_xxx - входные сигнал с", "соответствующей стороны.",
        "Возвращает:", "Выходной сигнал блока"},
       {"  function OnTick(Time, dTime, x_up, x_right, x_down, x_left : double):double; export;"},
       {},
       {"  double far _pascal _export OnTick(double Time,", "double dTime,", "double x_up,",
        "double x_right,", "double x_bottom,", "double x_left)"},
       {}},
      {true, {"Вызывается по окончанию запуска"}, {"  procedure OnStop; export;"}, {},
       {"  void far _pascal _export OnStop()"}, {}},
  };
  return s;
}

std::string Repeat(const std::string& s, size_t n) {
  std::string r;
  for (size_t i = 0; i < n; ++i) r += s;
  return r;
}

std::string Pad(const std::string& text, size_t width) {
  const size_t len = Utf8Length(text);
  return text + std::string(width > len ? width - len : 0, ' ');
}

// A box of text lines; a line that is exactly "-" becomes a separator.
// Delphi boxes stand in braces, C boxes between "/*" "*\" style borders.
TLines Box(const TLines& text, const std::string& indent, bool c, bool starred) {
  size_t width = 0;
  for (const std::string& t : text) width = std::max(width, Utf8Length(t));
  width += 2;
  const std::string fill = starred ? "*" : "-";
  TLines out;
  out.push_back(indent + (c ? "/" : "{") + Repeat(fill, width) + (c ? "\\" : "}"));
  for (const std::string& t : text) {
    if (t == "-")
      out.push_back(indent + (c ? "|" : "{") + Repeat("-", width) + (c ? "|" : "}"));
    else
      out.push_back(indent + (c ? "|" : "{") + " " + Pad(t, width - 1) + (c ? "|" : "}"));
  }
  out.push_back(indent + (c ? "\\" : "{") + Repeat(fill, width) + (c ? "/" : "}"));
  return out;
}

TLines SectionComment(const TSection& s, bool c) {
  TLines text;
  if (s.Optional) {
    text.push_back(c ? "Необязательная функция и может" : "Необязательная процедура и может");
    text.push_back("быть удалена из DLL");
    text.push_back("-");
  }
  text.insert(text.end(), s.Comment.begin(), s.Comment.end());
  return Box(text, "  ", c, true);
}

void Append(TLines& to, const TLines& from) { to.insert(to.end(), from.begin(), from.end()); }

// Continuation lines of a C heading stand under the character after "(".
TLines AlignedHeading(const TLines& head) {
  TLines out;
  if (head.empty()) return out;
  out.push_back(head[0]);
  const size_t paren = head[0].find('(');
  const size_t column = paren == std::string::npos ? 0 : Utf8Length(head[0].substr(0, paren + 1));
  for (size_t i = 1; i < head.size(); ++i) out.push_back(std::string(column, ' ') + head[i]);
  return out;
}

}  // namespace

std::string SkeletonLibraryName(const std::string& path) {
  std::string file = std::filesystem::path(path).filename().string();
  const size_t dot = file.find('.');
  return dot == std::string::npos ? file : file.substr(0, dot);
}

std::string SkeletonDefPath(const std::string& cPath) {
  const std::filesystem::path p(cPath);
  return (p.parent_path() / (SkeletonLibraryName(cPath) + ".def")).string();
}

TLines DelphiSkeleton(const std::string& name) {
  TLines out = Box({"Этот файл был создан пакетом", "\"Vemo\"", "DLL для блока пользователя для пакета",
                    "\"Vemo\""},
                   "", false, false);
  out.push_back("Library " + name + ";");
  out.push_back("uses");
  out.push_back("  WinTypes,WinProcs;");
  out.push_back("");
  for (const TSection& s : Sections()) {
    Append(out, SectionComment(s, false));
    Append(out, s.DelphiHead);
    out.push_back("  begin");
    Append(out, s.DelphiBody);
    out.push_back("  end;");
    out.push_back("");
  }
  Append(out, {"exports", "  About name 'About',", "  OnInit name 'OnInit',",
               "  OnDone name 'OnDone',", "  OnParameters name 'OnParam',",
               "  OnCompile name 'OnCompile',", "  GetTickStep name 'GetTickStep',",
               "  OnRun name 'OnRun',", "  OnTick name 'OnTick',", "  OnStop name 'OnStop';", "",
               "begin", "end."});
  return out;
}

TLines CSkeleton(const std::string& name) {
  (void)name;  // the C text names the library only in its definition file
  TLines out = Box({"Этот файл создан пакетом", "\"Vemo\".", "DLL для блока пользователя",
                    "для пакета \"Vemo\"", "(см. также def-файл)"},
                   "", true, true);
  out.push_back("#include <windows.h>");
  out.push_back("");
  Append(out, Box({"LibMain - инициализация DLL"}, "", true, true));
  out.push_back("#pragma argsused");
  Append(out, AlignedHeading({"int _far _pascal LibMain (HINSTANCE hInstance,", "WORD wDataSeg,",
                              "WORD cbHeap,", "LPSTR lpchCmdLine)"}));
  Append(out, {"{", "  if (cbHeap) UnlockData (0);", "  return TRUE;", "}", ""});
  for (const TSection& s : Sections()) {
    Append(out, SectionComment(s, true));
    Append(out, AlignedHeading(s.CHead));
    out.push_back("  {");
    Append(out, s.CBody);
    out.push_back("  }");
    out.push_back("");
  }
  return out;
}

TLines DefSkeleton(const std::string& cFileName, const std::string& name) {
  TLines out = {"; " + cFileName,
                "LIBRARY     " + name,
                "DESCRIPTION 'DLL для блока пользователя для пакета \"Vemo\"'",
                "EXETYPE     WINDOWS",
                "CODE        PRELOAD MOVEABLE DISCARDABLE",
                "DATA        PRELOAD MOVEABLE SINGLE",
                "EXPORTS     LibMain"};
  for (const char* e : {"About", "OnInit", "OnDone", "OnParam", "OnCompile", "GetTickStep", "OnRun",
                        "OnTick", "OnStop"})
    out.push_back(std::string(12, ' ') + e);
  return out;
}

bool WriteSkeletonFile(const std::string& path, const TLines& lines) {
  std::string text;
  for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
  return ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace vemo
