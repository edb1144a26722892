#include "frequency/edit_ws_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frequency/fraction.h"
#include "frequency/frequency_state.h"
#include "frequency/transfer_text.h"
#include "help/help_window.h"
#include "shell/program.h"

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
  auto* box = new QDialogButtonBox(this);
  SynthBtn = box->addButton(QStringLiteral("Синтез"), QDialogButtonBox::AcceptRole);
  SynthBtn->setObjectName(QStringLiteral("SynthBtn"));
  SynthBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(SynthBtn, &QPushButton::clicked, this, [this] { SynthBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
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
