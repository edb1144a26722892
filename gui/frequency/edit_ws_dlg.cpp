#include "frequency/edit_ws_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frequency/fraction.h"
#include "frequency/frequency_state.h"
#include "frequency/transfer_text.h"
#include "help/help_window.h"
#include "shell/program.h"
#include "simulation/setup_checks.h"

namespace vemo {

QString& LastTypedTransfer() {
  static QString text;
  return text;
}

TEditWSDlg::TEditWSDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Синтез структуры"));
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QStringLiteral("W(s)="), this));
  Edit1 = new QLineEdit(LastTypedTransfer(), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(static_cast<int>(kMaxTransferText));
  Edit1->setMinimumWidth(360);
  Edit1->setToolTip(QStringLiteral("Например: 2*(s+1)/(s^2+0.5*s+1)"));
  top->addWidget(Edit1);
  SynthBtn = AddOkCancel(this, top, QStringLiteral("Синтез"), [this] { SynthBtnClick(); });
  SynthBtn->setObjectName(QStringLiteral("SynthBtn"));
  InstallHelpKey(this, kSynthesisHelpContext);
}

TEditWSDlg::~TEditWSDlg() { LastTypedTransfer() = Edit1->text(); }

QString TEditWSDlg::Text() const { return Edit1->text(); }

bool TEditWSDlg::SynthBtnClick() {
  TFraction w;
  const bool ok = ParseTransferFunction(Edit1->text().toStdString(), w);
  FracFree(w);
  if (!ok) {
    ShowMessage(kTransferTextError);
    Edit1->setFocus();
    return false;
  }
  accept();
  return true;
}

}  // namespace vemo
