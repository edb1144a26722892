// Shared by the tests of the time-domain windows: shipped examples, the
// bytes of files they save, and a fresh program with a prepared example.
#pragma once
#include <QString>
#include <QtTest>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "model/field.h"
#include "model/project_file.h"
#include "shell/dialogs.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"

namespace vemo::testing {

inline std::string ReadFile(const QString& name) {
  std::ifstream in(name.toStdString(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string Example(const char* name) {
  return std::string(VEMO_SOURCE_DIR) + "/examples/" + name;
}

// Resets the program with dialogs as its dialogs and the default plot
// settings, then loads examples/oscillatory_step.vmo into field and
// prepares it for a run.
inline void PrepareExampleRun(TScriptedDialogs& dialogs, std::unique_ptr<TField>& field) {
  ResetProgramState();
  dialogs = TScriptedDialogs();
  Prog.Dialogs = &dialogs;
  PlotSettings() = TSettings();
  field = CreateField();
  QCOMPARE(LoadField(*field, Example("oscillatory_step.vmo")), TLoadResult::Ok);
  PrepareRun(*field);
  QCOMPARE(int(Prog.Err.ErrorCode), 0);
}

}  // namespace vemo::testing
