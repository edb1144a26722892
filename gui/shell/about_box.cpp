#include "shell/about_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vemo {

QDialog* MakeAboutBox(QWidget* parent) {
  auto* box = new QDialog(parent);
  box->setObjectName(QStringLiteral("AboutBox"));
  box->setWindowTitle(QStringLiteral("О программе"));
  auto* name = new QLabel(QString::fromUtf8(kProgramTitle), box);
  name->setObjectName(QStringLiteral("ProgramName"));
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  auto* version =
      new QLabel(QStringLiteral("Версия %1").arg(QString::fromUtf8(kProgramVersion)), box);
  version->setObjectName(QStringLiteral("ProgramVersion"));
  version->setAlignment(Qt::AlignCenter);
  auto* purpose = new QLabel(
      QStringLiteral("Моделирование и исследование систем автоматического управления"), box);
  purpose->setWordWrap(true);
  purpose->setAlignment(Qt::AlignCenter);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(name);
  layout->addWidget(version);
  layout->addSpacing(8);
  layout->addWidget(purpose);
  layout->addWidget(buttons);
  box->setMinimumWidth(320);
  return box;
}

void ShowAboutBox(QWidget* parent) {
  QDialog* box = MakeAboutBox(parent);
  box->exec();
  delete box;
}

}  // namespace vemo
