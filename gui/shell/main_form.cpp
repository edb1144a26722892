#include "shell/main_form.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/result_window.h"
#include "shell/settings.h"

namespace vemo {

namespace {
TMainForm* g_instance = nullptr;
}

struct TMainForm::TImpl {
  TSettings Settings;
};

TMainForm* TMainForm::Instance() { return g_instance; }

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), impl_(new TImpl) {
  g_instance = this;
  mdiArea_ = new QMdiArea(this);
  setCentralWidget(mdiArea_);
  setWindowTitle(QStringLiteral("Vemo 3.1"));
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
}

TMainForm::~TMainForm() {
  if (g_instance == this) g_instance = nullptr;
  delete impl_;
}

void TMainForm::SetSelectedType(uint16_t code) { SelectedType_ = code; }

TMDIChild* TMainForm::ActiveEditor() const {
  QMdiSubWindow* sub = mdiArea_->activeSubWindow();
  return sub ? qobject_cast<TMDIChild*>(sub->widget()) : nullptr;
}

std::vector<TMDIChild*> TMainForm::Editors() const {
  std::vector<TMDIChild*> out;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList())
    if (auto* e = qobject_cast<TMDIChild*>(sub->widget())) out.push_back(e);
  return out;
}

std::vector<TResultWindow*> TMainForm::ResultWindows() const {
  std::vector<TResultWindow*> out;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList())
    if (auto* r = qobject_cast<TResultWindow*>(sub->widget())) out.push_back(r);
  return out;
}

TMDIChild* TMainForm::EditorOf(const TField* field) const {
  for (TMDIChild* e : Editors())
    if (&e->Field() == field) return e;
  return nullptr;
}

QMdiSubWindow* TMainForm::AddDocument(QWidget* widget) {
  QMdiSubWindow* sub = mdiArea_->addSubWindow(widget);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  widget->show();
  return sub;
}

void TMainForm::UpdateMenuItems() {}
void TMainForm::SetStatusText(const QString& text) { statusBar()->showMessage(text); }
void TMainForm::SetHelpContext(int) {}
TSettings& TMainForm::Settings() { return impl_->Settings; }
bool TMainForm::SaveEditor(TMDIChild*) { return false; }
bool TMainForm::SaveEditorAs(TMDIChild*) { return false; }
TMDIChild* TMainForm::OpenProjectFile(const QString&) { return nullptr; }

TMDIChild* TMainForm::NewEditor() {
  auto* editor = new TMDIChild;
  editor->SetCaption(QStringLiteral("<без имени %1>").arg(mdiArea_->subWindowList().size() + 1));
  AddDocument(editor);
  return editor;
}

void TMainForm::AddRecentFile(const QString&) {}
void TMainForm::ShowError() {}

void TMainForm::closeEvent(QCloseEvent* event) {
  mdiArea_->closeAllSubWindows();
  if (!mdiArea_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace vemo
