// Helpers of the program generation tests: small schemes with one block
// under test fed by harmonic sources, a run of the model at the contour's
// points, and the tools that build and run the generated programs.
#pragma once
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "codegen/asm_writer.h"
#include "codegen/generation.h"
#include "core/model/test_support.h"
#include "model/scheme_builder.h"
#include "shell/encoding.h"
#include "simulation/engine.h"

namespace vemo::testing {

// Points of the schemes below: inputs A, C, E, outputs B, D.
inline constexpr int kA = 0, kB = 1, kC = 2, kD = 3, kE = 4;

// Harmonic sources (amplitude, Hz, phase) feeding inputs 0, 1, 2.
inline void Source(TSchemeBuilder& b, int col, int row, int k) {
  static const double params[3][3] = {{2.0, 0.5, 0.0}, {1.5, 0.8, 30.0}, {1.0, 1.1, 60.0}};
  b.Block(col, row, 115, {params[k][0], params[k][1], params[k][2]});
}

// One block at (10,10) fed on the given sides (Top, Left or Bottom), each by
// its own source; its output leaves on outSide into a stub. Input points
// A, C, E in side order, output point B.
inline TCellObject* BuildSingle(TField& f, uint16_t code, const std::vector<double>& params,
                                const std::vector<int>& sides, int outSide = Right) {
  TSchemeBuilder b(f);
  TCellObject* block = b.Block(10, 10, code);
  if (auto* pb = dynamic_cast<TParamBlock*>(block))
    for (size_t i = 0; i < params.size() && i < 4; ++i) pb->Params[i] = params[i];
  static const int letters[3] = {kA, kC, kE};
  int k = 0;
  for (int s : sides) {
    const int dc = s == Left ? -5 : 0, dr = s == Top ? -5 : s == Bottom ? 5 : 0;
    Source(b, 10 + dc, 10 + dr, k);
    b.Line({{10 + dc, 10 + dr}, {10, 10}});
    b.Point(letters[k], 10 + dc + (dc ? 1 : 0), 10 + dr + (dr < 0 ? 1 : dr > 0 ? -1 : 0));
    ++k;
  }
  if (outSide == Right) {
    b.Line({{10, 10}, {15, 10}});
    b.Point(kB, 12, 10);
  } else {
    b.Line({{10, 10}, {10, 15}});
    b.Point(kB, 10, 12);
  }
  return block;
}

// A contour with a little of everything: inputs A and C into a summer, a
// relay with hysteresis, a backlash (a temporary), a delay (a loop over an
// array); the outputs B (the delay) and D (an aperiodic element on the
// summer).
inline void BuildMixed(TField& f) {
  TSchemeBuilder b(f);
  Source(b, 2, 10, 0);
  b.Block(6, 10, 2);
  b.Line({{2, 10}, {6, 10}});
  b.Point(kA, 3, 10);
  Source(b, 6, 14, 1);
  b.Line({{6, 14}, {6, 10}});
  b.Point(kC, 6, 13);
  b.Block(9, 10, 24, {1.0, -1.0, 0.2, -0.2});
  b.Line({{6, 10}, {9, 10}});
  b.Block(12, 10, 28, {0.1});
  b.Line({{9, 10}, {12, 10}});
  b.Block(15, 10, 12, {0.03, 2.0});
  b.Line({{12, 10}, {15, 10}});
  b.Line({{15, 10}, {19, 10}});
  b.Point(kB, 17, 10);
  b.Block(8, 6, 10, {0.5, 1.5, 0.0});
  b.Line({{7, 10}, {7, 6}, {8, 6}});
  b.Line({{8, 6}, {12, 6}});
  b.Point(kD, 10, 6);
}

// The points' signals over a run: In[k][i] of input i and Out[k][j] of
// output j after step k.
struct TModelRun {
  std::vector<std::vector<double>> In, Out;
};

inline TModelRun RunModel(TField& f, const std::vector<int>& in, const std::vector<int>& out,
                          double dt, int steps) {
  TModelRun r;
  f.Step = dt;
  f.AutoStep = 0;
  PrepareRun(f);
  if (Prog.Err.ErrorCode) return r;
  SimInit(f);
  for (int k = 0; k < steps; ++k) {
    Prog.Clock.TimeStep = dt;
    Prog.Clock.SimTime = k * dt;
    SimStepAll(f);
    std::vector<double> a, b;
    for (int p : in) a.push_back(f.Points[p].Source ? f.Points[p].Source->Output : 0.0);
    for (int p : out) b.push_back(f.Points[p].Source ? f.Points[p].Source->Output : 0.0);
    r.In.push_back(a);
    r.Out.push_back(b);
  }
  SimDone(f);
  return r;
}

// Runs a shell command; its standard output, and the exit status.
inline int RunCommand(const std::string& cmd, std::string& output) {
  output.clear();
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool HaveTool(const std::string& name) {
  std::string out;
  return RunCommand("command -v " + name, out) == 0;
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

// The lines of a program's output made of numbers only (banners and
// prompts are skipped).
inline std::vector<std::vector<double>> ParseRows(const std::string& text) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<double> row;
    std::istringstream words(line);
    std::string w;
    bool numbers = true;
    while (numbers && words >> w) {
      char* end = nullptr;
      const double v = std::strtod(w.c_str(), &end);
      numbers = end && *end == '\0' && end != w.c_str();
      row.push_back(v);
    }
    if (numbers && !row.empty()) rows.push_back(row);
  }
  return rows;
}

// The largest difference between a program's rows and the model's outputs,
// measured as |a - b| / (1 + |b|); a missing or short row counts as 1e30.
inline double WorstDifference(const std::vector<std::vector<double>>& rows, const TModelRun& run) {
  double worst = 0.0;
  if (rows.size() < run.Out.size()) return 1e30;
  for (size_t k = 0; k < run.Out.size(); ++k) {
    if (rows[k].size() < run.Out[k].size()) return 1e30;
    for (size_t j = 0; j < run.Out[k].size(); ++j)
      worst = std::max(worst, std::fabs(rows[k][j] - run.Out[k][j]) / (1.0 + std::fabs(run.Out[k][j])));
  }
  return worst;
}

// A compiled program's answer: the rows it printed, or the reason it failed.
struct TProgramRun {
  bool Ok = false;
  std::string Log;
  std::vector<std::vector<double>> Rows;
};

// Generates the contour's program into dir/name.ext and returns its path
// ("" with a test failure when generation refused).
inline std::string GenerateInto(TField& f, TTarget t, const std::vector<int>& in, const std::vector<int>& out,
                                double dt, const std::string& dir, const std::string& name,
                                const TWriterOptions& options = {}) {
  TGenerationChoice c;
  c.Target = t;
  c.Inputs = in;
  c.Outputs = out;
  const std::string path = dir + "/" + name + "." + TargetInfo(t).Extension;
  const TGenerationOutcome o = GenerateFile(f, c, dt, options, path);
  EXPECT_EQ(o, TGenerationOutcome::Written) << "ErrorCode " << int(Prog.Err.ErrorCode);
  return o == TGenerationOutcome::Written ? path : std::string();
}

// C: the generated file with a harness that calls Initialization once and
// Controller once per step, compiled by the system compiler. Warnings are
// errors, except unused variables: the layout declares the loop counter
// Count in every controller.
inline TProgramRun RunC(const std::string& dir, const std::string& source, const TModelRun& run) {
  TProgramRun r;
  const size_t nIn = run.In.empty() ? 0 : run.In[0].size();
  const size_t nOut = run.Out.empty() ? 0 : run.Out[0].size();
  std::ostringstream h;
  h.precision(17);
  h << "#include <stdio.h>\nvoid Initialization(void);\nvoid Controller(";
  for (size_t i = 0; i < nIn; ++i) h << (i ? ", " : "") << "float";
  for (size_t j = 0; j < nOut; ++j) h << (nIn + j ? ", " : "") << "float *";
  h << ");\nstatic const float In[" << run.In.size() << "][" << std::max<size_t>(nIn, 1) << "] = {\n";
  for (const auto& row : run.In) {
    h << "{";
    for (size_t i = 0; i < std::max<size_t>(nIn, 1); ++i) h << (i ? ", " : "") << (i < row.size() ? row[i] : 0.0);
    h << "},\n";
  }
  h << "};\nint main(void)\n{\n  float o[" << std::max<size_t>(nOut, 1) << "];\n  int k, j;\n"
    << "  Initialization();\n  for (k = 0; k < " << run.In.size() << "; k++) {\n    Controller(";
  for (size_t i = 0; i < nIn; ++i) h << (i ? ", " : "") << "In[k][" << i << "]";
  for (size_t j = 0; j < nOut; ++j) h << (nIn + j ? ", " : "") << "&o[" << j << "]";
  h << ");\n    for (j = 0; j < " << nOut << "; j++) printf(\"%.9g \", o[j]);\n    printf(\"\\n\");\n  }\n"
    << "  return 0;\n}\n";
  WriteText(dir + "/harness.c", h.str());
  const std::string exe = dir + "/controller_c";
  if (RunCommand("cc -std=c99 -Wall -Werror -Wno-unused-variable -o " + exe + " " + source + " " + dir +
                     "/harness.c -lm",
                 r.Log) != 0)
    return r;
  std::string out;
  if (RunCommand(exe, out) != 0) {
    r.Log = out;
    return r;
  }
  r.Ok = true;
  r.Rows = ParseRows(out);
  return r;
}

// Pascal: a program using the unit, compiled by Free Pascal in Turbo Pascal
// mode.
inline TProgramRun RunPascal(const std::string& dir, const std::string& unitName, const TModelRun& run) {
  TProgramRun r;
  const size_t nIn = run.In.empty() ? 0 : run.In[0].size();
  const size_t nOut = run.Out.empty() ? 0 : run.Out[0].size();
  const size_t n = run.In.size();
  std::ostringstream p;
  p.precision(17);
  p << "program harness;\nuses " << unitName << ";\nconst\n";
  for (size_t i = 0; i < nIn; ++i) {
    p << "  In" << i << ": array[0.." << n - 1 << "] of Single = (";
    for (size_t k = 0; k < n; ++k) p << (k ? ", " : "") << run.In[k][i];
    p << ");\n";
  }
  p << "var k: Integer;\n";
  for (size_t j = 0; j < nOut; ++j) p << "  o" << j << ": Float;\n";
  p << "begin\n  Initialization;\n  for k := 0 to " << n - 1 << " do\n  begin\n    Controller(";
  for (size_t i = 0; i < nIn; ++i) p << (i ? ", " : "") << "In" << i << "[k]";
  for (size_t j = 0; j < nOut; ++j) p << (nIn + j ? ", " : "") << "o" << j;
  p << ");\n    writeln(";
  for (size_t j = 0; j < nOut; ++j) p << (j ? ", ' ', " : "") << "o" << j;
  p << ");\n  end;\nend.\n";
  WriteText(dir + "/harness.pas", p.str());
  if (RunCommand("cd " + dir + " && fpc -Mtp -vew harness.pas", r.Log) != 0) return r;
  std::string out;
  if (RunCommand(dir + "/harness", out) != 0) {
    r.Log = out;
    return r;
  }
  r.Ok = true;
  r.Rows = ParseRows(out);
  return r;
}

// QBasic under bwbasic: the program's main loop (where the user computes
// the inputs) is replaced by a driver that feeds the inputs from DATA lines,
// calls the subroutines and prints the outputs; the declarations before it
// run as written.
inline TProgramRun RunQBasic(const std::string& dir, const std::string& source, const TModelRun& run) {
  TProgramRun r;
  const size_t nIn = run.In.empty() ? 0 : run.In[0].size();
  const size_t nOut = run.Out.empty() ? 0 : run.Out[0].size();
  std::ostringstream b;
  b.precision(17);
  b << std::uppercase << "GOSUB Initialization\nFOR K = 1 TO " << run.In.size() << "\n";
  for (size_t i = 0; i < nIn; ++i) b << "READ Input" << i << "\n";
  b << "GOSUB Controller\n";
  for (size_t j = 0; j < nOut; ++j) b << "PRINT Output" << j << "\n";
  b << "NEXT K\nEND\n";
  for (const auto& row : run.In) {
    b << "DATA ";
    for (size_t i = 0; i < row.size(); ++i) b << (i ? ", " : "") << row[i];
    b << "\n";
  }
  // bwbasic 2.20 reads neither CR LF nor QBasic's apostrophe comments:
  // the lines end in LF and the comments become REM lines (or go, after a
  // statement).
  std::istringstream lines(ReadText(source));
  std::string line, program;
  bool driver = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!driver && line == "GOSUB Initialization") {
      program += b.str();
      driver = true;
    }
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line[first] == '\'') {
      line = line.substr(0, first) + "REM " + line.substr(first + 1);
    } else if (const size_t c = line.find(" '"); c != std::string::npos) {
      line.erase(c);
    }
    program += line + "\n";
  }
  WriteText(dir + "/run.bas", program);
  std::string out;
  if (RunCommand("cd " + dir + " && timeout 60 bwbasic run.bas < /dev/null", out) != 0) {
    r.Log = out;
    return r;
  }
  // One number per line: regroup by output.
  std::vector<double> values;
  for (const auto& row : ParseRows(out))
    for (double v : row) values.push_back(v);
  for (size_t k = 0; k + nOut <= values.size(); k += nOut)
    r.Rows.emplace_back(values.begin() + static_cast<long>(k), values.begin() + static_cast<long>(k + nOut));
  r.Ok = true;
  r.Log = out;
  return r;
}

// Asm51: the generated module between a reset vector and a main program,
// assembled by as31 with mathFIX.a51 and run on the s51 simulator. The main
// program takes the inputs from a table in code memory and prints every
// output, most significant byte first, through the simulator's interface
// at external address 0FFFFh. The variable block starts at 30h and the
// stack at 24h, below it.
inline TProgramRun RunAsm51(const std::string& dir, const std::string& source, const TModelRun& run) {
  TProgramRun r;
  const size_t nIn = run.In.empty() ? 0 : run.In[0].size();
  const size_t nOut = run.Out.empty() ? 0 : run.Out[0].size();
  std::ostringstream m;
  m << "HxMain:\tmov\tSP,#23h\n\tlcall\tInitialization\n\tmov\t20h,#" << (run.In.size() & 0xFF) << "\n\tmov\t21h,#"
    << (run.In.size() >> 8) << "\n\tmov\tDPTR,#HxData\n\tmov\t22h,DPL\n\tmov\t23h,DPH\n"
    << "HxStep:\tmov\tDPL,22h\n\tmov\tDPH,23h\n";
  for (size_t i = 0; i < nIn; ++i) {
    m << "\tlcall\tldcFIX\n";
    for (int b = 0; b < 4; ++b) m << "\tmov\tInput" << i << "+" << b << ",AccFIX+" << b << "\n";
  }
  m << "\tmov\t22h,DPL\n\tmov\t23h,DPH\n\tlcall\tController\n\tmov\tDPTR,#0FFFFh\n";
  for (size_t j = 0; j < nOut; ++j) {
    for (int b = 3; b >= 0; --b)
      m << "\tmov\tA,#'x'\n\tmovx\t@DPTR,A\n\tmov\tA,Output" << j << "+" << b << "\n\tmovx\t@DPTR,A\n";
    m << "\tmov\tA,#'p'\n\tmovx\t@DPTR,A\n\tmov\tA,#' '\n\tmovx\t@DPTR,A\n";
  }
  m << "\tmov\tA,#'p'\n\tmovx\t@DPTR,A\n\tmov\tA,#10\n\tmovx\t@DPTR,A\n"
    << "\tmov\tA,20h\n\tjnz\tHxStepD\n\tdec\t21h\nHxStepD:\tdec\t20h\n\tmov\tA,20h\n\torl\tA,21h\n\tjz\tHxDone\n"
    << "\tljmp\tHxStep\nHxDone:\tmov\tA,#'s'\n\tmovx\t@DPTR,A\nHxHalt:\tsjmp\tHxHalt\nHxData:\n";
  for (const auto& row : run.In)
    for (double v : row) {
      const uint32_t f = static_cast<uint32_t>(ToFix(v));
      m << "\t.byte\t" << (f & 0xFF) << ", " << ((f >> 8) & 0xFF) << ", " << ((f >> 16) & 0xFF) << ", "
        << (f >> 24) << "\n";
    }
  WriteText(dir + "/top.asm", "\t.org\t0\n\tljmp\tHxMain\n" + ReadText(source) + m.str());
  WriteText(dir + "/mathFIX.a51", ReadText(std::string(VEMO_SOURCE_DIR) + "/docs/mathFIX.a51"));
  if (RunCommand("cd " + dir + " && as31 -Fhex top.asm", r.Log) != 0) return r;
  std::string out;
  if (RunCommand("cd " + dir + " && timeout 120 s51 -t 8051 -I if=xram[0xffff] -G top.hex < /dev/null", out) !=
      0) {
    r.Log = out;
    return r;
  }
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<double> row;
    std::istringstream words(line);
    std::string w;
    while (words >> w) {
      if (w.size() != 8 || w.find_first_not_of("0123456789abcdef") != std::string::npos) break;
      row.push_back(static_cast<int32_t>(std::stoul(w, nullptr, 16)) / 65536.0);
    }
    if (row.size() == nOut && nOut) r.Rows.push_back(row);
  }
  r.Ok = true;
  r.Log = out;
  return r;
}

}  // namespace vemo::testing
