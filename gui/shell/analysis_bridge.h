// The analysis commands of the main window: each turns into the fixed
// sequence compile, check, ask for settings, compute, open the result window,
// through a few bridge operations that report through ErrorCode.
#pragma once
#include <QString>
#include <cstdint>

class QWidget;

namespace vemo {

class TMainForm;
struct TField;

// Program-wide state of the running analysis.
struct TAnalysisRun {
  TField* CurrentField = nullptr;  // the field being analysed
  uint8_t TimeDomainRun = 1;       // the running analysis is a time-domain one
};
TAnalysisRun& AnalysisRun();

// The bridge operations. Each but the first and the last returns true while
// ErrorCode stays 0. (The time-domain commands run the whole preparation of
// core's PrepareRun: Compile, Order, CheckLoops and the step choice.)
void BeginAnalysis();  // hourglass, ErrorCode := 0
bool Compile();        // ZeroListed := 0, CompileScheme(CurrentField)
bool Order();
bool CheckLoops();
// The transfer function of the contour start..end of CurrentField into
// the program-wide W(s) (the scheme is compiled again, the contour checked).
bool Contour(int start, int end);
// The zero-pole form of that W(s); ErrorCode 18 on a fault.
bool ZeroPoles();
// Default cursor; after a time-domain analysis the editor of ErrorField
// comes to the front.
void EndAnalysis(TMainForm& form);
// The same through the main window of the program, when there is one.
void EndAnalysis();
// ShowError of the main window (the default cursor first), or the error box
// alone when there is no main window.
void ShowAnalysisError();
// A result window as a document window of the main window (a plain
// top-level window deleted on close when there is none, as in tests).
void ShowDocument(QWidget* window);

// The first half of the frequency-domain and structure commands: the
// active editor's field becomes CurrentField (TimeDomainRun := 1) and is
// compiled (with Order and CheckLoops when asked) to find its faults
// before any dialog; its macro bodies are released again. nullptr without
// an editor or after the error box.
TField* PrepareActiveField(TMainForm& form, bool orderAndLoops = false);

// F9 and Shift+F9: compile, order, check loops, choose the step, then the
// setup dialog and the result window of the time-domain windows.
void RunTransientCommand(TMainForm& form);
void RunPhaseCommand(TMainForm& form);
// Анализ › Оптимизация: the same preparation, then TOptimizeDlg.
void RunOptimizeCommand(TMainForm& form);

// Синтез › Генерация программы: compile, check loops, then the dialog.
void RunProgramGenerationCommand(TMainForm& form);


}  // namespace vemo
