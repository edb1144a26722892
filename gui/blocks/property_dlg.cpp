#include "blocks/property_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "blocks/cell_object.h"
#include "blocks/dialog_support.h"
#include "help/help_window.h"

namespace vemo {

struct TPropertyDlg::TImpl {
  TParamBlock& Block;
  int Rows = 0;
};

TPropertyDlg::TPropertyDlg(TParamBlock& block, QWidget* parent)
    : QDialog(parent), impl_(new TImpl{block, block.ParamCount > 4 ? 4 : block.ParamCount}) {
  setWindowTitle(QStringLiteral("Свойства блока"));
  auto* top = new QVBoxLayout(this);

  auto* head = new QHBoxLayout;
  Image1 = MakePictureLabel(block, this);
  Label1 = new QLabel(QString::fromStdString(block.GetName()), this);
  Label1->setWordWrap(true);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  head->addWidget(Image1);
  head->addWidget(Label1, 1);
  top->addLayout(head);

  auto* grid = new QGridLayout;
  for (int i = 0; i < impl_->Rows; ++i) {
    Labels[i] = new QLabel(QString::fromStdString(block.GetParamName(i)), this);
    Edits[i] = new TExpressionEdit(block.Params[i], this);
    Edits[i]->setMinimumWidth(140);
    Labels[i]->setBuddy(Edits[i]);
    CheckBoxes[i] = new QCheckBox(QStringLiteral("Оптимиз."), this);
    CheckBoxes[i]->setChecked((block.OptMask >> i) & 1);
    grid->addWidget(Labels[i], i, 0);
    grid->addWidget(Edits[i], i, 1);
    grid->addWidget(CheckBoxes[i], i, 2);
  }
  top->addLayout(grid);
  Label6 = new QLabel(QString::fromUtf8(kExpressionHint), this);
  top->addWidget(Label6);

  OKBtn = AddDialogButtons(top, this, kBlockHelpBase + block.TypeCode, &CancelBtn, &HelpBtn);
  HelpBtn->setToolTip(QStringLiteral("Выводит помощь по данному блоку"));
  connect(OKBtn, &QPushButton::clicked, this, &TPropertyDlg::OKBtnClick);
  if (impl_->Rows > 0) Edits[0]->setFocus();
}

TPropertyDlg::~TPropertyDlg() { delete impl_; }

void TPropertyDlg::OKBtnClick() {
  TParamBlock& b = impl_->Block;
  double values[4] = {b.Params[0], b.Params[1], b.Params[2], b.Params[3]};
  uint8_t mask = 0;
  for (int i = 0; i < impl_->Rows; ++i) {
    if (CheckBoxes[i]->isChecked()) mask |= static_cast<uint8_t>(1u << i);
    if (!Edits[i]->Evaluate(values[i])) return;  // the dialog stays open
  }
  for (int i = 0; i < impl_->Rows; ++i) {
    if (values[i] != b.Params[i]) changed_ = true;
    b.Params[i] = values[i];
  }
  if (mask != b.OptMask) changed_ = true;
  b.OptMask = mask;
  accept();
}

bool TPropertyDlg::Edit(TParamBlock& block, QWidget* parent) {
  TPropertyDlg dlg(block, parent);
  dlg.exec();
  return dlg.result() == QDialog::Accepted && dlg.Changed();
}

}  // namespace vemo
