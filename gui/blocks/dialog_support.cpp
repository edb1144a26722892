#include "blocks/dialog_support.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>

#include "blocks/cell_object.h"
#include "blocks/expression.h"
#include "help/help_window.h"
#include "model/scheme_render.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

void ShowBlockMessage(QWidget* parent, const std::string& text) {
  if (Prog.Dialogs) {
    Prog.Dialogs->Message(text);
    return;
  }
  QMessageBox::critical(parent, QApplication::applicationName(), QString::fromStdString(text));
}

QPixmap CellPicture(TCellObject& obj, int size) {
  QImage img(size, size, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    DrawCellObject(p, obj, QRect(0, 0, size, size), false);
  }
  return QPixmap::fromImage(img);
}

QLabel* MakePictureLabel(TCellObject& obj, QWidget* parent, int size) {
  auto* label = new QLabel(parent);
  label->setPixmap(CellPicture(obj, size));
  label->setFrameShape(QFrame::Box);
  label->setFixedSize(size + 2 * label->frameWidth(), size + 2 * label->frameWidth());
  return label;
}

QButtonGroup* AddRadioGroup(QBoxLayout* layout, const QString& title, const QStringList& items,
                            int checked, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* inner = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items.at(i), box);
    b->setChecked(i == checked);
    group->addButton(b, i);
    inner->addWidget(b);
  }
  layout->addWidget(box);
  return group;
}

uint8_t CheckedIndex(const QButtonGroup* group, uint8_t fallback) {
  const int id = group->checkedId();
  return id >= 0 && id <= 255 ? static_cast<uint8_t>(id) : fallback;
}

QPushButton* AddDialogButtons(QBoxLayout* layout, QDialog* dialog, int helpContext,
                              QPushButton** cancel, QPushButton** help) {
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setDefault(true);
  auto* cancelBtn = new QPushButton(QStringLiteral("Отмена"), dialog);
  auto* helpBtn = new QPushButton(QStringLiteral("Помощь"), dialog);
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancelBtn);
  row->addWidget(helpBtn);
  layout->addLayout(row);
  QObject::connect(cancelBtn, &QPushButton::clicked, dialog, &QDialog::reject);
  QObject::connect(helpBtn, &QPushButton::clicked, dialog,
                   [dialog, helpContext] { ShowHelpContext(helpContext, dialog); });
  InstallHelpKey(dialog, helpContext);
  if (cancel) *cancel = cancelBtn;
  if (help) *help = helpBtn;
  return ok;
}

bool EvaluateAll(std::initializer_list<std::pair<TExpressionEdit*, double*>> rows) {
  for (const auto& [edit, value] : rows)
    if (!edit->Evaluate(*value)) return false;
  return true;
}

TExpressionEdit::TExpressionEdit(double value, QWidget* parent) : QLineEdit(parent) {
  SetValue(value);
}

void TExpressionEdit::SetValue(double value) {
  initial_ = value;
  initialText_ = QString::fromStdString(FormatNumber(value));
  setText(initialText_);
}

bool TExpressionEdit::Evaluate(double& value) {
  if (text() == initialText_) {
    value = initial_;
    return true;
  }
  std::string message;
  double v = 0.0;
  if (!EvalParamText(text().toStdString(), v, &message)) {
    ShowBlockMessage(this, message.empty() ? std::string(kExpressionError) : message);
    setFocus();
    selectAll();
    return false;
  }
  value = v;
  return true;
}

}  // namespace vemo
