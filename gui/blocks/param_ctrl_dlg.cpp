#include "blocks/param_ctrl_dlg.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "blocks/dialog_support.h"
#include "blocks/param_control.h"
#include "help/help_window.h"

namespace vemo {

TParamCtrlDlg::TParamCtrlDlg(TParamControl& control, TParamBlock& target, QWidget* parent)
    : QDialog(parent), control_(control) {
  setWindowTitle(QStringLiteral("Управление параметром"));
  auto* top = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  head->addWidget(MakePictureLabel(target, this));
  head->addWidget(new QLabel(QString::fromStdString(target.GetName()), this), 1);
  top->addLayout(head);

  const int count = target.ParamCount > 4 ? 4 : target.ParamCount;
  QStringList names;
  for (int i = 0; i < count; ++i) names << QString::fromStdString(target.GetParamName(i));
  const int current = control.ParamIndex < count ? control.ParamIndex : 0;
  RadioGroup1 = AddRadioGroup(top, QStringLiteral("Каким параметром управлять?"), names, current, this);

  OKBtn = AddDialogButtons(top, this, kBlockHelpBase + control.TypeCode, &CancelBtn);
  OKBtn->setEnabled(count > 0);
  connect(OKBtn, &QPushButton::clicked, this, &TParamCtrlDlg::OKBtnClick);
}

void TParamCtrlDlg::OKBtnClick() {
  if (RadioGroup1->checkedId() < 0) return;
  control_.ParamIndex = CheckedIndex(RadioGroup1, control_.ParamIndex);
  accept();
}

}  // namespace vemo
