#include "blocks/ranges_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "blocks/dialog_support.h"
#include "simulation/setup_checks.h"

namespace vemo {

TRangesDlg::TRangesDlg(TPlotRange& range, bool generator, QWidget* parent)
    : QDialog(parent),
      range_(range),
      helpContext_(generator ? kGeneratorRangesHelp : kNonlinearityRangesHelp) {
  setWindowTitle(QStringLiteral("Размеры поля"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  auto row = [&](QLabel*& label, QLineEdit*& edit, const char* name, const QString& caption,
                 double value, int r, int c) {
    label = new QLabel(caption, this);
    edit = new QLineEdit(NumberText(value), this);
    edit->setObjectName(QString::fromLatin1(name));
    label->setBuddy(edit);
    grid->addWidget(label, r, 2 * c);
    grid->addWidget(edit, r, 2 * c + 1);
  };
  row(Label1, Edit1, "Edit1", generator ? QStringLiteral("t min") : QStringLiteral("X min:"),
      generator ? 0.0 : range.XMin, 0, 0);
  row(Label2, Edit2, "Edit2", QStringLiteral("Y min:"), range.YMin, 0, 1);
  row(Label3, Edit3, "Edit3", generator ? QStringLiteral("t max") : QStringLiteral("X max:"),
      range.XMax, 1, 0);
  row(Label4, Edit4, "Edit4", QStringLiteral("Y max:"), range.YMax, 1, 1);
  if (generator) {
    Edit1->setText(QStringLiteral("0"));
    Edit1->setEnabled(false);
  }
  top->addLayout(grid);
  OkBtn = AddDialogButtons(top, this, helpContext_, &CancelBtn, &HelpBtn);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { Confirmed = false; });
}

void TRangesDlg::OkBtnClick() {
  double v = 0;
  if (!EditNumber(Edit1, v)) return;
  range_.XMin = v;
  if (!EditNumber(Edit2, v)) return;
  range_.YMin = v;
  if (!EditNumber(Edit3, v)) return;
  range_.XMax = v;
  if (!(range_.XMin < range_.XMax)) {
    RejectEdit(Edit3);
    return;
  }
  if (!EditNumber(Edit4, v)) return;
  range_.YMax = v;
  if (!(range_.YMin < range_.YMax)) {
    RejectEdit(Edit4);
    return;
  }
  Confirmed = true;
  accept();
}

bool TRangesDlg::Execute(TPlotRange& range, bool generator, QWidget* parent) {
  TRangesDlg dlg(range, generator, parent);
  dlg.exec();
  return dlg.Confirmed;
}

}  // namespace vemo
