// TOptimizeDlg ("Оптимизация"): the marked parameters under their blocks,
// the error point, the view time and the step; it starts the runs in the
// progress window and stays open until closed. The analysis command
// Анализ › Оптимизация opens it on a prepared scheme.
#pragma once
#include <QDialog>
#include <vector>

class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vemo {

class TMainForm;
struct TField;

inline constexpr const char* kNoOptParams =
    "Оптимизируемых параметров не найдено. Откройте параметры блока и отметьте те параметры, "
    "оптимизацию которых необходимо произвести.";

class TOptimizeDlg : public QDialog {
  Q_OBJECT
 public:
  // Rebuilds the optimiser's table from the field's marked parameters.
  explicit TOptimizeDlg(TField& field, QWidget* parent = nullptr);

  QTreeWidget* TreeView1 = nullptr;
  QListWidget* ListBox1 = nullptr;  // "Точка ошибки:"
  QLineEdit* Edit3 = nullptr;       // view time
  QLineEdit* Edit4 = nullptr;       // step
  QPushButton* Button1 = nullptr;   // "Авто"
  QPushButton* Button2 = nullptr;   // "Дополнительно >>"
  QPushButton* OKBtn = nullptr;     // "Оптимизация"
  QPushButton* CancelBtn = nullptr; // "Закрыть"
  QMenu* PopupMenu1 = nullptr;      // "Диапазон"

  // Number of parameters found (0: the dialog has nothing to do).
  int ParamCount() const;
  // The table entry of a parameter node, or -1 for a block node.
  int EntryOf(const QTreeWidgetItem* item) const;
  // The range dialog of an entry; true when confirmed.
  bool EditRange(int entry);
  // "Авто": the step the blocks recommend with every parameter at its lower bound.
  void Button1Click();
  // The checks of the view time and the step, the error point, then the
  // progress window. False when a check failed (its message shown).
  bool OKBtnClick();
  // The runs started from this dialog changed the parameters.
  bool Changed() const { return changed_; }

 private:
  TField& field_;
  std::vector<QTreeWidgetItem*> items_;  // the parameter nodes, by table entry
  bool changed_ = false;
};

// The dialog on a prepared field: with no marked parameter the message
// kNoOptParams instead. True when runs changed the parameters.
bool ShowOptimizeDialog(TField& field, QWidget* parent);

// The settings step of Анализ › Оптимизация (after Compile → Order →
// CheckLoops → ChooseStep → EndAnalysis): the dialog, with the tuned values
// recorded in the field's editor as one undoable step. False: no window
// follows, and the macro bodies are released.
bool OptimizeSetup(TField& field, QWidget* parent);

}  // namespace vemo
