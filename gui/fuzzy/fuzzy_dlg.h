// The fuzzy controller's editor "Нечеткий регулятор": the variables and the
// output side, the membership functions drawn with the mouse, the rules,
// the inference debugger, the method, and the model files. It edits a
// working copy of a block's model.
#pragma once
#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "fuzzy/fuzzy_infer.h"
#include "fuzzy/fuzzy_model.h"
#include "fuzzy/fuzzy_small_dlgs.h"
#include "fuzzy/membership_plot.h"
#include "simulation/plot_widgets.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;

namespace vemo {

class TFuzzyBlock;

inline constexpr int kFuzzyDlgHelp = 500;
inline constexpr int kFuzzyTabHelp = 501;
// Clicks within this many pixels of an edge of the block picture choose the
// output side; points and segments are hit within kFuzzyHitPixels.
inline constexpr int kSideBand = 40;
inline constexpr int kFuzzyHitPixels = 5;

// The side of the block picture a click at (x, y) chooses in a picture of
// the given size, or -1 (the corners choose none).
int SideAt(int x, int y, int width, int height);

// The block picture of the "Переменные" page with the output side marked.
class TSideBox : public QWidget {
  Q_OBJECT
 public:
  explicit TSideBox(QWidget* parent = nullptr);
  int Side = 3;
  std::function<void(int side)> OnSide;
  QSize sizeHint() const override { return {220, 160}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
};

// One variable's graph: painting and the mouse belong to the dialog.
class TMembershipBox : public TPlotBox {
  Q_OBJECT
 public:
  explicit TMembershipBox(QWidget* parent = nullptr);
  std::function<void(QMouseEvent*)> OnPress, OnMove, OnRelease;
  QSize sizeHint() const override { return {420, 150}; }

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

class TFuzzyDlg : public QDialog {
  Q_OBJECT
 public:
  enum class TTool { Pen, Move, Insert, Cut };

  TFuzzyDlg(const TFuzzyModel& model, uint8_t outputSide, QWidget* parent = nullptr);
  ~TFuzzyDlg() override;
  // Runs the editor on a copy of the block's model; on "OK" the model and
  // the output side go back into the block and true is returned.
  static bool Edit(TFuzzyBlock& block, QWidget* parent);

  TFuzzyModel Model;  // the working model
  uint8_t OutputSide = 3;
  TVarRanges Ranges;  // the abscissa range of each variable's graph
  int Current = -1;   // the current membership function (term index)
  TTool Tool() const { return tool_; }

  QTabWidget* Tab = nullptr;
  // "Переменные"
  QLabel* Label1 = nullptr;
  TSideBox* PaintBox1 = nullptr;
  std::array<QLineEdit*, 4> Edits{};  // Edit1..Edit4, one per variable position
  // "Ф-ции принадлежности"
  QScrollArea* ScrollBox1 = nullptr;
  std::vector<TMembershipBox*> Graphs;  // by variable index; hidden when unnamed
  QWidget* Panel1 = nullptr;
  QToolButton *PenBtn = nullptr, *MoveBtn = nullptr, *InsertBtn = nullptr, *CutBtn = nullptr;
  QToolButton *ClearAllBtn = nullptr, *LoadFuncBtn = nullptr, *SaveFuncBtn = nullptr,
              *CopyFuncBtn = nullptr, *PasteFuncBtn = nullptr, *DeleteFuncBtn = nullptr,
              *NewFuncBtn = nullptr, *RenameFuncBtn = nullptr, *FieldSizeBtn = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  TPanelBar* StatusBar1 = nullptr;
  QMenu* GraphMenu = nullptr;
  QAction* BoldItem = nullptr;
  // "Правила"
  QPlainTextEdit* Memo1 = nullptr;
  QComboBox *ComboBox2 = nullptr, *ComboBox3 = nullptr, *ComboBox4 = nullptr;
  QToolButton *SaveRulesBtn = nullptr, *LoadRulesBtn = nullptr;
  QPushButton* CheckBtn = nullptr;
  QMenu* MemoMenu = nullptr;
  // "Отладка"
  std::array<TMembershipBox*, 4> DebugGraphs{};  // PaintBox10..PaintBox13
  std::array<QLineEdit*, 4> ValueEdits{};        // Edit5..Edit8
  QLineEdit* Edit9 = nullptr;
  QPushButton *StepBtn = nullptr, *RestartBtn = nullptr;
  QMenu* DebugMenu = nullptr;
  // Outside the pages.
  QButtonGroup* RadioGroup1 = nullptr;
  QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr;

  // Seams for the person's choices (the tests put their own here).
  // A file name ("" when cancelled); filterIndex (from 1) in and out.
  std::function<QString(QWidget*, const QString& title, const QStringList& filters,
                        const QString& defaultName, bool save, int& filterIndex)>
      ChooseFile;
  std::function<void(int errorCode)> ShowError;  // the scheme error window
  std::function<void()> ShowNoErrors;            // TNoErrorDlg
  std::function<bool(QDialog&)> RunDialog;       // TFuncNameDlg, TFieldSizeDlg
  // Printing: the title and the routine that draws the page.
  std::function<void(const QString& title, const std::function<void(QPainter&, const QRect&)>&)>
      Print;

  // ---- variables page
  // The names of Edit1..Edit4 into the model; a name with other characters
  // than digits, letters and "_" is refused with its message, the focus goes
  // back to its field and the model keeps the old names.
  bool ApplyVariableNames();
  void PaintBox1Side(int side);

  // ---- membership functions
  void SetTool(TTool tool);
  void SetCurrent(int term);
  // The picture of a variable's graph as drawn now.
  TMembershipPicture GraphPicture(size_t var, bool monochrome = false) const;
  TPlotFrame GraphFrame(size_t var) const;
  // The current function's point within kFuzzyHitPixels of a pixel, or -1;
  // the segment under it (index of its first point), or -1.
  int PointAt(size_t var, QPointF pixel) const;
  int SegmentAt(size_t var, QPointF pixel) const;
  void GraphMouseDown(size_t var, QMouseEvent* e);
  void GraphMouseMove(size_t var, QMouseEvent* e);
  void GraphMouseUp(size_t var, QMouseEvent* e);
  // The commands ("Новая функция" for a variable, -1: the current one's).
  void NewFuncClick(int var = -1);
  void RenameFuncClick();
  void DeleteFuncClick();
  void ClearAllClick();
  void CopyFuncClick();
  void PasteFuncClick();
  void FieldSizeClick();
  bool SaveFuncToFile(const QString& path);
  bool LoadFuncFromFile(const QString& path);
  void SaveFuncClick();
  void LoadFuncClick();
  // Picture copies: all variables, or the current function's variable.
  QImage Picture(bool all, bool monochrome) const;
  void CopyPicture(bool all);
  void PrintGraphs();

  // ---- rules
  // Inserts a word at the caret, with one blank before it unless the caret
  // stands at the start of the text or right after a line break.
  void InsertWord(const QString& word);
  // Compiles Memo1 into the working model: true when every line passed
  // (Memo1 then counts as compiled). On a failure the caret goes to the
  // offending token and the error window shows code 20 + the parser's code.
  bool CompileMemo();
  void CheckBtnClick();  // "Проверить"
  bool SaveRules(const QString& path);
  bool LoadRules(const QString& path);
  void PrintRules();

  // ---- debugger
  void StepClick();     // "Следующий шаг (F8)"
  void RestartClick();  // "Перезапуск (Ctrl-F2)"
  int RulesStepped() const { return stepped_; }
  const TFuzzyInference& Debugger() const { return debug_; }

  // ---- the model as a whole
  bool SaveModel(const QString& path, int filterIndex);
  bool LoadModel(const QString& path, int filterIndex);
  void SaveBtnClick();
  void LoadBtnClick();
  void OkBtnClick();
  void reject() override;

 private:
  void BuildVariablesPage(QWidget* page);
  void BuildFunctionsPage(QWidget* page);
  void BuildRulesPage(QWidget* page);
  void BuildDebugPage(QWidget* page);
  void TabChange(int page);
  // Everything shown from the model again (after loading).
  void ModelReplaced();
  // Lists, graphs and the status after names or terms changed.
  void RefreshLists();
  void RefreshGraphs();
  // Memo1 from the compiled rules when it holds nothing uncompiled; marked
  // for compiling when a rule names a function or variable that is gone.
  void SyncMemo();
  void FitRange(size_t var);
  void ShowCursor(size_t var, QPointF pixel);
  TShapePoint ValueAt(size_t var, QPointF pixel) const;
  bool AskFuncName(TFuncNameDlg& dlg);
  QString UniqueName(const std::string& base) const;

  TTool tool_ = TTool::Pen;
  int dragged_ = -1;
  TFuzzyInference debug_;
  size_t debugPos_ = 0;
  bool debugActive_ = false;
  int stepped_ = 0;
};

}  // namespace vemo
