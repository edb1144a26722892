// The analysis result windows (transfer function, hodograph, Bode plots,
// phase portrait, transient response) are document windows that show one
// field; an editor closes them before it changes that field.
#pragma once
#include <QWidget>

namespace vemo {

struct TField;

// In the order in which an editor closes them.
enum class TResultKind { TransferFunction, Hodograph, Bode, PhasePortrait, Transient };

class TResultWindow : public QWidget {
  Q_OBJECT
 public:
  TResultWindow(TResultKind kind, TField* field, QWidget* parent = nullptr)
      : QWidget(parent), Kind(kind), AnalysedField(field) {}
  // A window whose computation is still under way keeps its field in use
  // even after it was asked to close.
  virtual bool Busy() const { return false; }
  const TResultKind Kind;
  TField* const AnalysedField;
};

}  // namespace vemo
