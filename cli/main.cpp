// vemo-cli: the batch face of the program's commands.
#include <cctype>
#include <cstring>
#include <iostream>
#include <new>
#include <set>

#include "cli_common.h"
#include "model/errors.h"
#include "shell/ini_file.h"
#include "shell/program.h"
#include "shell/settings.h"

using namespace vemo;
using namespace vemo::cli;

namespace {

struct TCommand {
  const char* Name;
  int (*Run)(const TArgs&);
  const char* Usage;
  const char* Help;
};

const TCommand kCommands[] = {
    {"check", CmdCheck, "check FILE.vmo",
     "Compiles the scheme, orders it, checks algebraic loops and chooses the step.\n"
     "Prints OK, or the scheme error \"Ошибка N: ...\" with its cell (exit 1)."},
    {"simulate", CmdSimulate, "simulate FILE.vmo [--time T] [--step H] [--points ACD] [-o OUT] [--plot OUT.png [--size WxH]]",
     "Transient response from t = 0 while t < view time. One line per step: the time,\n"
     "then the sample of each observed point (23-character reals). --time replaces the\n"
     "project's view time, --step the field's step; --points chooses the observed points\n"
     "(default: those placed and shown). -o writes the text with CR LF line ends.\n"
     "--plot writes the window's picture of the run as PNG instead of printing the text\n"
     "(the text still goes to -o when given): autoscaled single scale, the points'\n"
     "colours; --size sets its pixels (default 800x560)."},
    {"phase", CmdPhase, "phase FILE.vmo --x A --y B [--time T] [--step H] [-o OUT] [--plot OUT.png [--size WxH]]",
     "Phase portrait: one page from t = 0. One line per step: the ordinate, one blank,\n"
     "the abscissa (23-character reals). --y dx/dt plots the derivative of the abscissa\n"
     "signal (its first step is not recorded). --time is the page length (default: the\n"
     "project's view time). -o writes the text with CR LF line ends. --plot writes the\n"
     "window's autoscaled picture of the portrait as PNG instead of printing the text\n"
     "(the text still goes to -o when given); --size sets its pixels (default 800x560)."},
    {"eval", CmdEval, "eval \"EXPR\"",
     "Value of a parameter expression (+ - * / ^ and parentheses), or its error message\n"
     "(exit 1). A text beginning with \"-\" is an expression too (eval -2*3, eval -- -x)."},
    {"info", CmdInfo, "info FILE.vmo",
     "Summary of a project: version, step, view time, placed points and blocks."},
    {"convert", CmdConvert, "convert IN.vmo -o OUT.vmo",
     "Loads a project (version 2 or 3) and saves it as version 3."},
    {"tf", CmdTransferFunction, "tf FILE.vmo [--from A] [--to B] [--factored] [--digits N] [-o OUT]",
     "Transfer function W(s) of the contour from one view point to another, as the\n"
     "transfer-function window shows it: polynomial form WAB(s)=(num)/(den), or with\n"
     "--factored the time-constant form. Default points: the first and the second\n"
     "placed point. --digits N (1 to 21) writes every number with N significant\n"
     "digits (2.52e-06) instead of the window's number text, for scripts."},
    {"bode", CmdBode, "bode FILE.vmo [--from A] [--to B] [--lgw-min X] [--lgw-max Y] [--phase] [-o OUT] [--plot OUT.png [--size WxH]]",
     "Bode plot of the contour as the saved text file: 200 lines of lg w and L [dB]\n"
     "(or with --phase the phase in degrees), 23-character reals. lg w runs from\n"
     "--lgw-min (default -3) in steps of (max - min)/200. -o writes CR LF lines.\n"
     "--plot writes both plots as the window first shows them (autoscaled, L above\n"
     "the phase) as PNG instead of printing the text (the text still goes to -o when\n"
     "given); --size sets its pixels (default 800x560)."},
    {"nyquist", CmdNyquist,
     "nyquist FILE.vmo [--from A] [--to B] [--lgw-min X] [--lgw-max Y] [--popov] [--dfc] [--ne-step D] [-o OUT] [--plot OUT.png [--size WxH] [--plane REMIN,REMAX,IMMIN,IMMAX]]",
     "Hodograph W(jw) of the contour as the saved text file: one line per point of w,\n"
     "Im and Re (23-character reals). lg w runs from --lgw-min (default -3) to\n"
     "--lgw-max (default 3) in 1240 steps, cut finer where the phase turns by more than\n"
     "a degree. A pulse element as the contour's nonlinear part adds its shaper to the\n"
     "curve. --popov gives Popov's modified hodograph (Im multiplied by w). --dfc\n"
     "prints instead the describing-function curve -1/N(A) (ЭККУ) of the nonlinear\n"
     "part: one line per point of A, Im and Re (for a pulse-frequency modulator its\n"
     "table: amplitude factor, Im, Re); --ne-step is the phase step in degrees of a\n"
     "nonlinearity without a closed form (default 0.01). -o writes CR LF lines.\n"
     "--plot writes the plane as the window shows it, autoscaled over its curves, as\n"
     "PNG instead of printing the text (the text still goes to -o when given): the\n"
     "hodograph, the point -1, with --dfc the curve -1/N(A), with --popov the point\n"
     "-1/K and the Popov line when the sector fits; --size sets its pixels, --plane\n"
     "the visible rectangle instead of the autoscale."},
    {"margins", CmdMargins,
     "margins FILE.vmo [--from A] [--to B] [--lgw-min X] [--lgw-max Y] [--ne-step D] [-o OUT]",
     "Closed-loop report of the hodograph of the open contour: the verdict\n"
     "(Устойчива / Неустойчива!), the phase margin and the gain margin, one per line\n"
     "(\"-\" when there is none). When the contour has a nonlinear part, the points\n"
     "where the hodograph meets its describing-function curve follow under\n"
     "\"Возможны колебания:\": frequency, amplitude and stability (or the rank for a\n"
     "pulse-frequency modulator) of each, separated by \"* * *\". The margins are\n"
     "read on the exact response. Two lines end the report: \"Частота среза:\" (where\n"
     "|W| = 1) and \"Частота при фазе -180°:\" (where the gain margin is read), in\n"
     "rad/s, or \"-\"."},
    {"popov", CmdPopov, "popov FILE.vmo [--from A] [--to B] [--lgw-min X] [--lgw-max Y] [-o OUT]",
     "Popov criterion of the loop with one nonlinear part: the sector of the\n"
     "nonlinearity, the Popov line through -1/K on the modified hodograph and the\n"
     "conclusion, one per line (\"Нелинейность:\", \"Прямая Попова:\", \"Вывод:\")."},
    {"inout", CmdInOut, "inout FILE.vmo [--from A] [--to B] [--xmax X] [--step H] [-o OUT]",
     "Static input-output characteristic y(x) of the contour as the table nonlinearity's\n"
     "text file: one line per point, x and y (23-character reals). The contour's blocks\n"
     "are stepped with the input held at x from -X max up to +X max in steps of H\n"
     "(defaults 2 and 0.01, at least 0.001), then back down; the backward sweep follows\n"
     "only when it differs from the forward one (hysteresis). -o writes CR LF lines."},
    {"synth", CmdSynth, "synth \"W(s)\" -o OUT.vmo",
     "Structure synthesis from a typed W(s) (+ - * / between terms, parentheses,\n"
     "numbers, s and s^k): a chain of typical elements from point A to point B,\n"
     "saved as a project. A W(s) that does not read prints \"Ошибка в выражении!\"\n"
     "(there is no unary minus: write 0-s/(s+1))."},
    {"simplify", CmdSimplify, "simplify FILE.vmo [--from A] [--to B] -o OUT.vmo",
     "Structure simplification: the contour replaced by typical elements built from\n"
     "its W(s), its nonlinear part by an equivalent nonlinearity, saved as a project\n"
     "(A: input, B: output). Questions about the nonlinear part are answered No."},
    {"controller", CmdController, "controller FILE.vmo [--from A] [--to B] --t T -o OUT.vmo",
     "Controller synthesis for the plant contour: the controller 1/(T s W(s)) in a loop\n"
     "with the plant closed by unit negative feedback, so that the transient from A to\n"
     "B is aperiodic with time constant T (T > 0.0001), saved as a project."},
    {"optimize", CmdOptimize,
     "optimize FILE.vmo --error P --param COL,ROW:I=LO..HI[:log] [--param ...] [--method probe|coord|grad] [--criterion 0|1|2] [--time T] [--step H] [--set NAME=VALUE ...] [--jobs N] [-o OUT.vmo]",
     "Parameter optimisation: tunes parameter I (0-based) of the block at (COL,ROW)\n"
     "within LO..HI (:log searches it on a logarithmic scale) so that the signal at\n"
     "point P becomes as small as possible over the view time, by the criterion\n"
     "(0 integral square, 1 with the first derivative, 2 with the second; default 1)\n"
     "and the method (default coord). The settings are the defaults of Vemo.ini's\n"
     "\"Optimization\", \"OptIntegralSqr1D/2D\" sections; --set changes one by its key\n"
     "(ZondCount, ZondIterCount, SpeedDown, SpeedDownIters, SpeedDownSingleIters,\n"
     "SpeedDownEps, GradDownVolum, GradDownIters, GradDownEps, WeightY, WeightDY,\n"
     "WeightD2Y). --jobs: runs at a time on copies of the scheme (default: the cores;\n"
     "1 runs on the scheme itself; the result is the same). Prints one line per\n"
     "parameter \"COL,ROW:I = value\", then \"J = ...\" (the criterion at the tuned\n"
     "values, one more run) and \"runs = N\" (the method's simulations). A progress\n"
     "bar goes to stderr on a terminal; Ctrl+C cancels like \"Отмена\": the best values\n"
     "found so far are kept (and J reads \"-\"). -o writes the tuned project."},
    {"neuro", CmdNeuro,
     "neuro train FILE.vmo --block COL,ROW --reference P --output Q [--min X] [--max Y] [--time T] [--step H] [method options] [-o OUT.vmo] [--net OUT.txt] | neuro show FILE.vmo --block COL,ROW",
     "train: trains the neural block at (COL,ROW): every weight is optimised within\n"
     "--min..--max (default -10..10, \"OptNet\" of Vemo.ini) so that the signal at the\n"
     "output point Q follows the reference point P over the transient time; the method\n"
     "options are those of optimize. Prints \"J = ...\" and \"runs = N\"; -o writes the\n"
     "project, --net the network file. show: prints the block's network in the layout\n"
     "of the network file (layers, functions, neuron counts, weights)."},
    {"print", CmdPrint, "print FILE.vmo -o OUT.pdf [--range visible|all] [--mono] [--landscape]",
     "Prints the scheme to a one-page PDF file (A4, 10 mm margins) as the print dialog\n"
     "places it: the whole printable width, the height in the picture's proportions\n"
     "(narrower when a tall picture would not fit). --range all (default) prints every\n"
     "occupied cell, --range visible the cells an editor shows on opening the project\n"
     "(the top left 20 x 14 and the partly visible column and row). --mono draws every\n"
     "line black; --landscape turns the sheet."},
    {"codegen", CmdCodegen,
     "codegen FILE.vmo --lang pascal|c|qbasic|x86|asm51|asm96|dec --in A[,B...] --out C[,D...] [--step H] [--address ADDR] [--386] -o OUT",
     "Controller program for the contour between the input points and the output\n"
     "points, written as the program generation dialog writes it (CP866, CR LF):\n"
     "Initialization and Controller reading Input0.. and computing Output0.. (the\n"
     "points in letter order). --step is the sampling step (default 0.01), --address\n"
     "the variable block of asm51 (64h), asm96 (0034h) or dec (60000o), --386 the\n"
     "80386 instructions of x86. A refused contour, a bad step or address, or a\n"
     "block that generates no code prints its message and exits with status 1."},
    {"fuzzy", CmdFuzzy,
     "fuzzy show|eval|convert|put|plot MODEL ...",
     "The fuzzy controller. MODEL is a .fz or .fuz file, or FILE.vmo --block COL,ROW.\n"
     "  fuzzy show MODEL: method, variables with their membership functions (points),\n"
     "    the rules in the rule language.\n"
     "  fuzzy eval MODEL NAME=VALUE ...: one inference; prints NAME = value for every\n"
     "    output variable (23-character reals).\n"
     "  fuzzy convert IN -o OUT: between .fz and .fuz by OUT's extension (a model the\n"
     "    WinFACT format cannot hold is refused).\n"
     "  fuzzy put FILE.vmo --block COL,ROW --model MODEL [--rules RULES.txt] -o OUT.vmo:\n"
     "    puts a model file (and rule lines, compiled) into the scheme's fuzzy block.\n"
     "  fuzzy plot MODEL --var NAME --plot OUT.png [--size WxH]: the membership\n"
     "    functions of one variable as the editor draws them."},
};

const std::set<std::string> kValueOptions = {"--time", "--step", "--points", "-o",
                                           "--from", "--to", "--lgw-min", "--lgw-max",
                                           "--x", "--y", "--xmax", "--plot", "--size", "--ne-step", "--t",
                                           "--error", "--param", "--method", "--criterion", "--set", "--jobs",
                                           "--block", "--reference", "--output", "--min", "--max", "--net",
                                           "--range", "--plane", "--lang", "--in", "--out", "--address", "--digits",
                                           "--model", "--rules", "--var"};
const std::set<std::string> kFlagOptions = {"--help", "-h", "--factored", "--phase", "--popov", "--dfc",
                                          "--mono", "--landscape", "--386",
                                          "--trust-plugins"};

// An option's shape: "-" or "--", a letter, then letters, digits and "-".
// Any other argument beginning with "-" ("-(2)", "-s/(s+1)", "-0.5") is an
// expression or a W(s) and taken as it stands.
bool LooksLikeOption(const std::string& arg) {
  size_t i = arg.rfind("--", 0) == 0 ? 2 : 1;
  if (arg.size() <= i || arg[0] != '-' || !std::isalpha(static_cast<unsigned char>(arg[i])))
    return false;
  for (; i < arg.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(arg[i])) && arg[i] != '-') return false;
  return true;
}

void PrintProgramHelp() {
  std::cout << "vemo-cli — batch commands of Vemo, modelling of automatic control systems\n\n"
               "Usage: vemo-cli COMMAND [ARGS]\n\nCommands:\n";
  for (const TCommand& c : kCommands) std::cout << "  " << c.Usage << "\n";
  std::cout << "\nAn argument beginning with \"-\" that is no option (\"-2*3\", \"-(2)\",\n"
               "\"-s/(s+1)\") is taken as it stands, for the command to judge; after \"--\" every\n"
               "argument is (vemo-cli eval -- -x).\n"
               "\nOptions of every command that reads a project:\n"
               "  --trust-plugins  load the plug-in libraries the project names from any folder\n"
               "                   (without it only from the program's folder, the project's\n"
               "                   own and those listed in Vemo.ini: [Plugins] Dir1=, Dir2=...)\n"
               "\nvemo-cli COMMAND --help describes a command.\n"
               "Exit status: 0 success, 1 scheme or file error, 2 bad usage.\n";
}

}  // namespace

int main(int argc, char** argv) {
  ResetProgramState();
  TStderrDialogs dialogs;
  Prog.Dialogs = &dialogs;
  if (argc < 2) {
    PrintProgramHelp();
    return kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintProgramHelp();
    return kExitOk;
  }
  const TCommand* cmd = nullptr;
  for (const TCommand& c : kCommands)
    if (name == c.Name) cmd = &c;
  if (!cmd) return UsageError("unknown command '" + name + "' (vemo-cli --help lists them)");

  TArgs args;
  args.Command = name;
  bool optionsEnded = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded) {
      args.Positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (kFlagOptions.count(arg)) {
      args.Options[arg] = "";
    } else if (kValueOptions.count(arg)) {
      if (i + 1 >= argc) return UsageError(arg + " needs a value");
      args.Options[arg] = argv[++i];
      args.All.emplace_back(arg, argv[i]);
    } else if (LooksLikeOption(arg)) {
      return UsageError("unknown option '" + arg + "' for " + name +
                        " (a text beginning with '-' goes after --)");
    } else {
      args.Positional.push_back(arg);
    }
  }
  if (args.Has("--help") || args.Has("-h")) {
    std::cout << "Usage: vemo-cli " << cmd->Usage << "\n\n" << cmd->Help << "\n";
    return kExitOk;
  }
  dialogs.TrustPlugins = args.Has("--trust-plugins");
  TIniFile ini;
  ini.Load(SettingsFileName());
  Prog.Plugins.Dirs = ReadPluginDirs(ini);
  try {
    return cmd->Run(args);
  } catch (const std::bad_alloc&) {
    // Whatever ran out of memory has been unwound by now.
    std::cerr << kNoMemory << "\n";
    return kExitFailure;
  }
}
