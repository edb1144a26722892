#include "blocks/macro_dlg.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "blocks/dialog_support.h"
#include "help/help_window.h"
#include "model/errors.h"
#include "model/macro.h"
#include "model/mdi_child.h"
#include "shell/encoding.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace vemo {

namespace {
constexpr size_t kCaptionLength = 5;
constexpr size_t kBodyFileLength = 127;
}  // namespace

TMacroDlg::TMacroDlg(TMacroBlock& block, QWidget* parent) : QDialog(parent), block_(block) {
  setWindowTitle(QStringLiteral("Макровставка"));
  auto* top = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  head->addWidget(MakePictureLabel(block, this));
  auto* form = new QFormLayout;
  Edit1 = new QLineEdit(QString::fromStdString(block.Caption), this);
  Edit1->setMaxLength(int(kCaptionLength));
  Edit1->setToolTip(QStringLiteral("Имя, которое записывает в сетке схемы"));
  form->addRow(QStringLiteral("Имя:"), Edit1);
  Edit2 = new QLineEdit(QString::fromStdString(block.BodyFile), this);
  Edit2->setMaxLength(int(kBodyFileLength));
  Edit2->setMinimumWidth(260);
  form->addRow(QStringLiteral("Имя файла (*.vmo):"), Edit2);
  head->addLayout(form, 1);
  top->addLayout(head);

  auto* fileButtons = new QHBoxLayout;
  Button1 = new QPushButton(QStringLiteral("Открыть тело"), this);
  Button1->setToolTip(QStringLiteral("Открыть указанный файл"));
  Button2 = new QPushButton(QStringLiteral("Обзор"), this);
  Button2->setToolTip(QStringLiteral("Выбор файла из списка"));
  fileButtons->addStretch(1);
  fileButtons->addWidget(Button1);
  fileButtons->addWidget(Button2);
  top->addLayout(fileButtons);

  OKBtn = AddDialogButtons(top, this, kBlockHelpBase + block.TypeCode, &CancelBtn);
  connect(OKBtn, &QPushButton::clicked, this, &TMacroDlg::OKBtnClick);
  connect(Button1, &QPushButton::clicked, this, &TMacroDlg::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TMacroDlg::Button2Click);
  auto enableOpen = [this] { Button1->setEnabled(!Edit2->text().isEmpty()); };
  connect(Edit2, &QLineEdit::textChanged, this, enableOpen);
  enableOpen();
}

void TMacroDlg::Button1Click() {
  const std::string name = Edit2->text().toStdString();
  if (name.empty()) return;
  // Opening a project for a look is no analysis: the error state of the
  // program stays as it was.
  const TErrorState saved = Prog.Err;
  TField* field = Prog.Projects ? Prog.Projects->OpenProject(name) : nullptr;
  Prog.Err = saved;
  if (!field) {
    ShowBlockMessage(this, ErrorMessage(14));
    return;
  }
  TMainForm* main = TMainForm::Instance();
  if (TMDIChild* editor = main ? main->EditorOf(field) : nullptr) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget()))
      main->MdiArea()->setActiveSubWindow(sub);
    editor->show();
  }
}

void TMacroDlg::Button2Click() {
  namespace fs = std::filesystem;
  QString start = Edit2->text();
  if (!start.isEmpty() && !fs::path(start.toStdString()).is_absolute() && !Prog.ProgramDir.empty())
    start = QString::fromStdString(Prog.ProgramDir) + start;
  const QString chosen = QFileDialog::getOpenFileName(
      this, QStringLiteral("Открыть проект с диска"), start,
      QStringLiteral("Файлы Vemo (*.vmo);;Все файлы (*.*)"));
  if (chosen.isEmpty()) return;
  Edit2->setText(QString::fromStdString(RelativeName(chosen.toStdString(), Prog.ProgramDir)));
}

void TMacroDlg::OKBtnClick() {
  const std::string caption = Utf8Left(Edit1->text().toStdString(), kCaptionLength);
  const std::string body = Utf8Left(Edit2->text().toStdString(), kBodyFileLength);
  changed_ = caption != block_.Caption || body != block_.BodyFile;
  block_.Caption = caption;
  block_.BodyFile = body;
  accept();
}

}  // namespace vemo
