#include "shell/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>

#include "help/help_window.h"
#include "model/compile.h"
#include "model/errors.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace vemo {

namespace {

QWidget* DialogParent() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  return TMainForm::Instance();
}

QMessageBox::StandardButton Ask(const QString& caption, const std::string& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
  QMessageBox box(icon, caption, QString::fromStdString(text), buttons, DialogParent());
  const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
      {QMessageBox::Yes, "Да"}, {QMessageBox::No, "Нет"}, {QMessageBox::Cancel, "Отмена"},
      {QMessageBox::Ok, "Ok"}};
  for (const auto& [button, text] : texts)
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(text));
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool SameText(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

void TQtDialogs::Message(const std::string& text) { Notify(TNotice::Error, text, {}); }

void TQtDialogs::Notify(TNotice kind, const std::string& text, const std::string& caption) {
  Ask(caption.empty() ? QApplication::applicationName() : QString::fromStdString(caption), text,
      QMessageBox::Ok, kind == TNotice::Error ? QMessageBox::Critical : QMessageBox::Information);
}

bool TQtDialogs::AskYesNo(const std::string& text) {
  return Ask(QStringLiteral("внимание"), text, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::Question) == QMessageBox::Yes;
}

TAnswer TQtDialogs::AskYesNoCancel(const std::string& text) {
  switch (Ask(QStringLiteral("Внимание"), text,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question)) {
    case QMessageBox::Yes:
      return TAnswer::Yes;
    case QMessageBox::No:
      return TAnswer::No;
    default:
      return TAnswer::Cancel;
  }
}

void InstallQtDialogs() {
  static TQtDialogs dialogs;
  Prog.Dialogs = &dialogs;
}

std::string TEditorProjects::Resolve(const std::string& fileName) const {
  namespace fs = std::filesystem;
  std::string name = fileName;
  std::replace(name.begin(), name.end(), '\\', '/');
  std::error_code ec;
  if (fs::path(name).is_absolute()) return fs::exists(name, ec) ? name : std::string();
  std::vector<fs::path> dirs;
  // Beside the project whose scheme is being compiled.
  if (TField* compiling = CompilingField()) {
    TField* owner = compiling->Owner ? compiling->Owner : compiling;
    if (TMDIChild* e = form_.EditorOf(owner)) {
      const QString caption = e->Caption();
      if (!caption.startsWith(QLatin1Char('<'))) {
        QString path = caption.contains(QLatin1Char('/')) ? caption : form_.ProgramDir() + caption;
        dirs.push_back(QFileInfo(path).absolutePath().toStdString());
      }
    }
  }
  dirs.push_back(form_.ProgramDir().toStdString());
  dirs.push_back(fs::current_path(ec));
  for (const fs::path& dir : dirs) {
    const fs::path p = dir / name;
    if (fs::exists(p, ec)) return fs::absolute(p, ec).lexically_normal().string();
  }
  return {};
}

TField* TEditorProjects::OpenProject(const std::string& fileName) {
  if (fileName.empty()) return nullptr;
  const QString raw = QString::fromStdString(fileName);
  const std::string path = Resolve(fileName);
  const QString caption =
      path.empty() ? raw
                   : QString::fromStdString(RelativeName(path, form_.ProgramDir().toStdString()));
  for (TMDIChild* e : form_.Editors())
    if (SameText(e->Caption(), raw) || SameText(e->Caption(), caption)) return &e->Field();
  // Loading a body must not change the view time of the analysis running.
  const double viewTime = Prog.Clock.ViewTime;
  // Never into a reused window: that one may be the scheme being compiled.
  TMDIChild* editor =
      form_.OpenProjectFile(path.empty() ? raw : QString::fromStdString(path), false, false);
  Prog.Clock.ViewTime = viewTime;
  if (!editor) {
    if (Prog.Err.ErrorCode == 0) Prog.Err.ErrorCode = 14;
    return nullptr;
  }
  return &editor->Field();
}

void ShowErrorBox(int errorCode, QWidget* parent) {
  QDialog box(parent);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.setWindowTitle(QStringLiteral("Ошибка"));
  auto* icon = new QLabel(&box);
  const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
  icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
  auto* text = new QLabel(QString::fromUtf8(ErrorMessage(errorCode)), &box);
  text->setObjectName(QStringLiteral("ErrorText"));
  text->setWordWrap(true);
  text->setMinimumWidth(260);
  auto* buttons = new QDialogButtonBox(&box);
  QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  QPushButton* help = buttons->addButton(QStringLiteral("Помощь"), QDialogButtonBox::HelpRole);
  ok->setObjectName(QStringLiteral("OkButton"));
  help->setObjectName(QStringLiteral("HelpButton"));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
  QObject::connect(help, &QPushButton::clicked, &box,
                   [&box, errorCode] { ShowHelpContext(kErrorHelpBase + errorCode, &box); });
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&box);
  layout->addLayout(row);
  layout->addWidget(buttons);
  box.exec();
}

void PluginMessageBox(const char* text, const char* caption, int icon) {
  const QString t = QString::fromUtf8(text ? text : "");
  const QString c = QString::fromUtf8(caption ? caption : "");
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    std::fprintf(stderr, "%s: %s\n", c.toLocal8Bit().constData(), t.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(icon == 1 ? QMessageBox::Critical : QMessageBox::Information, c, t,
                  QMessageBox::Ok, DialogParent());
  box.setObjectName(QStringLiteral("PluginMessageBox"));
  box.exec();
}

}  // namespace vemo
