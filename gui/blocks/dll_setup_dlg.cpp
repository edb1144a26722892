#include "blocks/dll_setup_dlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "blocks/dialog_support.h"
#include "blocks/dll_skeleton.h"
#include "help/help_window.h"
#include "plugins/user_block.h"
#include "shell/encoding.h"
#include "shell/numtext.h"

namespace vemo {

namespace {
constexpr int kSetupHelpContext = 51000;
constexpr size_t kPathLength = 255;
}  // namespace

TDLLSetupDlg::TDLLSetupDlg(TUserBlock& block, QWidget* parent) : QDialog(parent), block_(block) {
  setWindowTitle(QStringLiteral("Настройка блока пользователя"));
  auto* top = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(QStringLiteral("DLL:"), this));
  Edit1 = new QLineEdit(this);
  Edit1->setReadOnly(true);
  Edit1->setMinimumWidth(300);
  fileRow->addWidget(Edit1, 1);
  BrowseBtn = new QPushButton(QStringLiteral("Обзор"), this);
  fileRow->addWidget(BrowseBtn);
  top->addLayout(fileRow);

  auto* buttons = new QHBoxLayout;
  AboutBtn = new QPushButton(QStringLiteral("О DLL"), this);
  PropertyBtn = new QPushButton(QStringLiteral("Свойства"), this);
  Button2 = new QPushButton(QStringLiteral("Подробно"), this);
  OkBtn = new QPushButton(QStringLiteral("Ok"), this);
  OkBtn->setDefault(true);
  HelpBtn = new QPushButton(QStringLiteral("Помощь"), this);
  for (QPushButton* b : {AboutBtn, PropertyBtn, Button2}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(OkBtn);
  buttons->addWidget(HelpBtn);
  top->addLayout(buttons);

  auto* skeletonRow = new QHBoxLayout;
  Button1 = new QPushButton(QStringLiteral("Сгенерировать скелет DLL-файла"), this);
  Button1->setToolTip(
      QStringLiteral("Генерация текста скелета DLL-библиотеки  на Delpi32 или на C++"));
  PopupMenu1 = new QMenu(this);
  PopupMenu1->addAction(QStringLiteral("Delphi32"), this, &TDLLSetupDlg::Delphi321Click);
  PopupMenu1->addAction(QStringLiteral("C++"), this, &TDLLSetupDlg::C1Click);
  skeletonRow->addWidget(Button1);
  skeletonRow->addStretch(1);
  top->addLayout(skeletonRow);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setMinimumSize(480, 220);
  Memo1->hide();
  top->addWidget(Memo1, 1);

  connect(BrowseBtn, &QPushButton::clicked, this, &TDLLSetupDlg::BrowseBtnClick);
  connect(AboutBtn, &QPushButton::clicked, this, &TDLLSetupDlg::AboutBtnClick);
  connect(PropertyBtn, &QPushButton::clicked, this, &TDLLSetupDlg::PropertyBtnClick);
  connect(Button2, &QPushButton::clicked, this, &TDLLSetupDlg::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &TDLLSetupDlg::Button1Click);
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(HelpBtn, &QPushButton::clicked, this,
          [this] { ShowHelpContext(kSetupHelpContext, this); });
  InstallHelpKey(this, kSetupHelpContext);
  RefreshView();
}

void TDLLSetupDlg::RefreshView() {
  const TDLLLink& link = block_.Link;
  const bool bound = link.Bound();
  // A library the project names is bound when the scheme is checked; until
  // then its name shows, with the buttons that would call it disabled.
  Edit1->setText(bound || link.Pending ? QString::fromStdString(link.FileName) : QString());
  AboutBtn->setEnabled(bound);
  Button2->setEnabled(bound);
  PropertyBtn->setEnabled(bound && link.OnParam);
}

void TDLLSetupDlg::BrowseBtnClick() {
  QString start = QString::fromStdString(block_.Link.FileName);
  if (!start.isEmpty()) start = QFileInfo(start).absolutePath();
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("Загрузка DLL"), start,
      QStringLiteral("DLL-файлы (*.so *.dll *.DLL);;Все файлы (*)"));
  if (!chosen.isEmpty()) BindLibrary(chosen);
}

void TDLLSetupDlg::BindLibrary(const QString& path) {
  UnloadDLLLink(block_.Link);
  LoadDLLLink(block_.Link, Utf8Left(path.toStdString(), kPathLength));
  RefreshView();
  if (Memo1->isVisible()) Button2Click();
  if (block_.Link.Bound() && block_.Link.About) block_.Link.About();
}

void TDLLSetupDlg::AboutBtnClick() {
  if (block_.Link.Bound() && block_.Link.About) block_.Link.About();
}

void TDLLSetupDlg::PropertyBtnClick() {
  if (block_.Link.Bound() && block_.Link.OnParam) block_.Link.OnParam();
}

void TDLLSetupDlg::Button2Click() {
  if (!block_.Link.Bound()) return;
  Memo1->clear();
  for (const std::string& line : DLLInspection(block_.Link))
    Memo1->appendPlainText(QString::fromStdString(line));
  if (!Memo1->isVisible()) {
    Memo1->show();
    adjustSize();
  }
}

}  // namespace vemo

namespace vemo {

void TDLLSetupDlg::Button1Click() { PopupMenu1->popup(Button1->mapToGlobal(QPoint(0, 0))); }

namespace {
QString AskSkeletonFile(QWidget* parent, const QString& suffix, const QString& filter) {
  QFileDialog dlg(parent, QStringLiteral("Генерация скелета DLL"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setDefaultSuffix(suffix);
  dlg.setNameFilter(filter);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  return dlg.selectedFiles().first();
}
}  // namespace

void TDLLSetupDlg::Delphi321Click() {
  const QString path = AskSkeletonFile(this, QStringLiteral("dpr"),
                                       QStringLiteral("Проекты Delphi (*.dpr);;Все файлы (*.*)"));
  if (!path.isEmpty()) WriteSkeleton(false, path);
}

void TDLLSetupDlg::C1Click() {
  const QString path = AskSkeletonFile(this, QStringLiteral("c"),
                                       QStringLiteral("Проекты C++ (*.c);;Все файлы (*.*)"));
  if (!path.isEmpty()) WriteSkeleton(true, path);
}

bool TDLLSetupDlg::WriteSkeleton(bool cSource, const QString& path) {
  const std::string file = path.toStdString();
  const std::string name = SkeletonLibraryName(file);
  bool ok = false;
  if (cSource) {
    ok = WriteSkeletonFile(file, CSkeleton(name)) &&
         WriteSkeletonFile(SkeletonDefPath(file),
                           DefSkeleton(QFileInfo(path).fileName().toStdString(), name));
  } else {
    ok = WriteSkeletonFile(file, DelphiSkeleton(name));
  }
  if (!ok) ShowBlockMessage(this, kWriteError);
  return ok;
}

}  // namespace vemo
