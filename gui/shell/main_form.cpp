#include "shell/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "help/help_window.h"
#include "model/clipboard.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/about_box.h"
#include "shell/analysis_bridge.h"
#include "shell/copy_target.h"
#include "shell/ini_file.h"
#include "shell/main_menus.h"
#include "shell/palette.h"
#include "shell/program.h"
#include "shell/qt_dialogs.h"
#include "shell/result_window.h"
#include "shell/settings.h"
#include "shell/tool_icons.h"

namespace vemo {

namespace {

TMainForm* g_instance = nullptr;

constexpr int kMinWidth = 600;

QString WithSlash(QString dir) {
  dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

}  // namespace

struct TMainForm::TImpl {
  TSettings Settings;
  std::unique_ptr<TEditorProjects> Projects;
  QWidget* SpeedPanel = nullptr;
  int ToolsWidth = 0;
};

namespace {

class TSpeedPanelFilter : public QObject {
 public:
  TSpeedPanelFilter(TMainForm& form, QWidget* panel, TBlockPalette* palette, int left)
      : QObject(panel), form_(form), panel_(panel), palette_(palette), left_(left) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Enter) form_.SetHelpContext(0);
    if (watched == panel_ && event->type() == QEvent::Resize) FormResize();
    return false;
  }

 private:
  // The palette takes the width of the tool panel right of the tool buttons,
  // less 5 pixels, and is rebuilt.
  void FormResize() {
    palette_->setGeometry(left_, 2, std::max(0, panel_->width() - left_ - 5),
                          palette_->minimumHeight());
  }
  TMainForm& form_;
  QWidget* panel_;
  TBlockPalette* palette_;
  int left_;
};

// The document windows as they are now; closing one may close others (an
// editor closes the result windows of its field).
QList<QPointer<QMdiSubWindow>> Documents(QMdiArea* area) {
  QList<QPointer<QMdiSubWindow>> out;
  for (QMdiSubWindow* sub : area->subWindowList()) out << sub;
  return out;
}

}  // namespace

TMainForm* TMainForm::Instance() { return g_instance; }

TSettings& ProgramSettings() {
  static TSettings defaults;
  return g_instance ? g_instance->Settings() : defaults;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), impl_(new TImpl) {
  g_instance = this;
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  setMinimumWidth(kMinWidth);
  QApplication::setWindowIcon(ToolIcon(QStringLiteral("Program")));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  impl_->SpeedPanel = new QWidget(central);
  impl_->SpeedPanel->setObjectName(QStringLiteral("SpeedPanel"));
  mdiArea_ = new QMdiArea(central);
  mdiArea_->setObjectName(QStringLiteral("MdiArea"));
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  layout->addWidget(impl_->SpeedPanel);
  layout->addWidget(mdiArea_, 1);
  setCentralWidget(central);

  BuildMainMenu(*this, menuBar());
  for (QAction* a : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
    QString tip = a->text();
    a->setStatusTip(tip.remove(QLatin1Char('&')));
  }
  impl_->ToolsWidth = BuildToolButtons(*this, impl_->SpeedPanel);
  palette_ = new TBlockPalette(impl_->SpeedPanel);
  impl_->SpeedPanel->setFixedHeight(palette_->minimumHeight() + 4);
  auto* filter = new TSpeedPanelFilter(*this, impl_->SpeedPanel, palette_, impl_->ToolsWidth);
  impl_->SpeedPanel->installEventFilter(filter);
  palette_->installEventFilter(filter);
  connect(palette_, &TBlockPalette::TypeSelected, this, &TMainForm::SetSelectedType);
  connect(palette_, &TBlockPalette::HelpContextChanged, this, &TMainForm::SetHelpContext);
  statusBar()->setObjectName(QStringLiteral("StatusBar"));

  impl_->Projects = std::make_unique<TEditorProjects>(*this);
  Prog.Projects = impl_->Projects.get();
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
  FormCreate();
  // Most of the screen, never less than 900 x 640.
  QSize size(900, 640);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.expandedTo(screen->availableSize() * 0.85);
  resize(size);
  palette_->TabControl1Change();
  UpdateMenuItems();
}

TMainForm::~TMainForm() {
  // Result windows refer to the fields of editors: they go first, also the
  // ones already closed and waiting to be deleted.
  QList<QPointer<QMdiSubWindow>> all;
  for (QMdiSubWindow* sub : mdiArea_->findChildren<QMdiSubWindow*>()) all << sub;
  for (const QPointer<QMdiSubWindow>& sub : all)
    if (sub && qobject_cast<TResultWindow*>(sub->widget())) delete sub.data();
  for (const QPointer<QMdiSubWindow>& sub : all) delete sub.data();
  if (Prog.Projects == impl_->Projects.get()) Prog.Projects = nullptr;
  if (g_instance == this) g_instance = nullptr;
  delete impl_;
}

// Reads the settings; the program directory is "Paths"/"EXE" or the
// current directory.
void TMainForm::FormCreate() {
  TIniFile ini;
  ini.Load(SettingsFileName());
  std::string exeDir;
  ReadSettings(ini, impl_->Settings, &exeDir);
  Prog.Plugins.Dirs = ReadPluginDirs(ini);
  programDir_ = WithSlash(exeDir.empty() ? QDir::currentPath() : QString::fromStdString(exeDir));
  Prog.ProgramDir = programDir_.toStdString();
  ShowRecentFiles();
  Item("FlatBtnItem")->setChecked(impl_->Settings.FlatButtons);
  Item("BlackWhiteItem")->setChecked(impl_->Settings.BlackWhiteClipboard);
  ApplyFlatButtons();
}

bool TMainForm::WriteSettingsFile() {
  const std::string fileName = SettingsFileName();
  QDir().mkpath(QFileInfo(QString::fromStdString(fileName)).absolutePath());
  TIniFile ini;
  ini.Load(fileName);  // keeps "Paths" and whatever else the file holds
  WriteSettings(ini, impl_->Settings);
  if (ini.Save(fileName)) return true;
  ShowMessage(kIniWriteFailed);
  return false;
}

void TMainForm::SetSelectedType(uint16_t code) { SelectedType_ = code; }

TMDIChild* TMainForm::ActiveEditor() const {
  // The current window, also while the application itself is not active.
  QMdiSubWindow* sub = mdiArea_->currentSubWindow();
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
  if (!field) return nullptr;
  for (TMDIChild* e : Editors())
    if (&e->Field() == field) return e;
  return nullptr;
}

QMdiSubWindow* TMainForm::AddDocument(QWidget* widget) {
  QMdiSubWindow* sub = mdiArea_->addSubWindow(widget);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The window's own close keys would make Ctrl+W of the transfer function
  // ambiguous inside a document window; Ctrl+F4 stays.
  if (QMenu* menu = sub->systemMenu())
    for (QAction* a : menu->actions())
      if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
  const QSize area = mdiArea_->viewport()->size();
  sub->resize(DocumentSize(widget));
  // The area placed the window for its first size; keep it inside.
  sub->move(std::clamp(sub->x(), 0, std::max(0, area.width() - sub->width())),
            std::clamp(sub->y(), 0, std::max(0, area.height() - sub->height())));
  widget->show();
  mdiArea_->setActiveSubWindow(sub);
  return sub;
}

// A new window takes at least two thirds of the free area (its own
// preferred size when larger, up to the whole area), so a scheme or a plot
// is seen at once.
QSize TMainForm::DocumentSize(QWidget* widget) const {
  const QSize area = mdiArea_->viewport()->size();
  const QSize least(std::max(400, area.width() * 2 / 3), std::max(300, area.height() * 2 / 3));
  const QSize hint = widget ? widget->sizeHint() : QSize();
  const QSize wanted = hint.isValid() ? hint.expandedTo(least) : least;
  return wanted.boundedTo(area.expandedTo(QSize(400, 300)));
}

void TMainForm::BringForward(QWidget* widget) {
  for (QMdiSubWindow* sub : mdiArea_->subWindowList())
    if (sub->widget() == widget) {
      if (sub->isMinimized()) sub->showNormal();
      mdiArea_->setActiveSubWindow(sub);
      return;
    }
}

QAction* TMainForm::Item(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void TMainForm::UpdateMenuItems() {
  TMDIChild* editor = ActiveEditor();
  const bool editorActive = editor != nullptr;
  for (const char* name : {"FileSaveItem", "FileSaveAsItem", "N3", "htItem", "PhaseItem",
                           "LACHItem", "GodoItem", "WsItem", "N8", "InOutItem", "N23", "N4",
                           "N100", "N27", "N30", "N25"})
    Item(name)->setEnabled(editorActive);
  const bool canPaste = editorActive && SchemeClipboard().HasData();
  Item("PasteItem")->setEnabled(canPaste);
  Item("N6")->setEnabled(canPaste);
  const bool anyWindow = !mdiArea_->subWindowList().isEmpty();
  for (const char* name : {"WindowCascadeItem", "WindowTileItem", "WindowArrangeItem",
                           "WindowMinimizeItem", "N12"})
    Item(name)->setEnabled(anyWindow);

  struct THistoryItem {
    const char* Name;
    QString Verb, Nothing;
    bool Can;
    std::string StepName;
  };
  const THistoryItem history[2] = {
      {"UndoItem", QStringLiteral("Отменить"), QStringLiteral("Нечего отменить"),
       editor && editor->History.CanUndo(), editor ? editor->History.UndoName() : std::string()},
      {"RedoItem", QStringLiteral("Повторить"), QStringLiteral("Нечего повторить"),
       editor && editor->History.CanRedo(), editor ? editor->History.RedoName() : std::string()},
  };
  for (const THistoryItem& h : history) {
    QAction* a = Item(h.Name);
    QString caption = !editor ? h.Verb
                      : h.Can ? h.Verb + QLatin1Char(' ') + QString::fromStdString(h.StepName)
                              : h.Nothing;
    a->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    a->setToolTip(caption);
    a->setStatusTip(caption);
    a->setEnabled(h.Can);
  }

  const bool selection = editorActive && editor->HasSelection();
  Item("CutItem")->setEnabled(selection);
  Item("DeleteItem")->setEnabled(selection);
  bool copy = selection;
  if (TCopyTarget* target = CurrentCopyTarget()) copy = target->CopyAvailable();
  Item("CopyItem")->setEnabled(copy);
}

// A modal window that copies (the table editor) first, else the active
// document window when it is not a structure editor.
TCopyTarget* TMainForm::CurrentCopyTarget() const {
  if (auto* modal = dynamic_cast<TCopyTarget*>(QApplication::activeModalWidget())) return modal;
  if (ActiveEditor()) return nullptr;
  QMdiSubWindow* sub = mdiArea_->currentSubWindow();
  return sub ? dynamic_cast<TCopyTarget*>(sub->widget()) : nullptr;
}

namespace {

// Updates the main window's menus as a copying window shows and hides.
class TCopyTargetWatch : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide ||
        event->type() == QEvent::WindowActivate)
      if (TMainForm* main = TMainForm::Instance()) main->UpdateMenuItems();
    return false;
  }
};

}  // namespace

void AttachMainCopy(QWidget* window) {
  TMainForm* main = TMainForm::Instance();
  if (!main || !window) return;
  if (QAction* copy = main->Item("CopyItem")) window->addAction(copy);
  window->installEventFilter(new TCopyTargetWatch(window));
}

void TMainForm::SetStatusText(const QString& text) { statusBar()->showMessage(text); }
void TMainForm::SetHelpContext(int context) { helpContext_ = context; }
TSettings& TMainForm::Settings() { return impl_->Settings; }

void TMainForm::ApplyFlatButtons() {
  const bool flat = impl_->Settings.FlatButtons;
  for (QToolButton* b : impl_->SpeedPanel->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
    b->setAutoRaise(flat);
  palette_->SetFlat(flat);
}

void TMainForm::N3Click() {
  if (TMDIChild* e = ActiveEditor()) e->N15Click();
}

void TMainForm::UndoItemClick() {
  if (TMDIChild* e = ActiveEditor()) e->UndoStep();
  UpdateMenuItems();
}

void TMainForm::RedoItemClick() {
  if (TMDIChild* e = ActiveEditor()) e->RedoStep();
  UpdateMenuItems();
}

void TMainForm::CutItemClick() {
  if (TMDIChild* e = ActiveEditor()) e->N3Click();
  UpdateMenuItems();
}

void TMainForm::CopyItemClick() {
  if (TCopyTarget* target = CurrentCopyTarget()) {
    if (target->CopyAvailable()) target->CopyToClipboard();
  } else if (TMDIChild* e = ActiveEditor()) {
    e->N1Click();
  }
  UpdateMenuItems();
}

void TMainForm::PasteItemClick() {
  if (TMDIChild* e = ActiveEditor()) e->N7Click();
  UpdateMenuItems();
}

void TMainForm::DeleteItemClick() {
  if (TMDIChild* e = ActiveEditor()) e->N4Click();
  UpdateMenuItems();
}

void TMainForm::N6Click() {
  ClipClear();
  UpdateMenuItems();
}

void TMainForm::N25Click() {
  if (TMDIChild* e = ActiveEditor()) e->SelectAll();
  UpdateMenuItems();
}

void TMainForm::FlatBtnItemClick() {
  impl_->Settings.FlatButtons = Item("FlatBtnItem")->isChecked();
  ApplyFlatButtons();
}

void TMainForm::BlackWhiteItemClick() {
  impl_->Settings.BlackWhiteClipboard = Item("BlackWhiteItem")->isChecked();
}

void TMainForm::WindowCascadeItemClick() {
  QMdiSubWindow* active = mdiArea_->activeSubWindow();
  const QSize area = mdiArea_->viewport()->size();
  int x = 0, y = 0;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
    if (sub->isMinimized()) continue;
    if (sub->isMaximized()) sub->showNormal();
    const QSize size = DocumentSize(sub->widget());
    // Back to the top left once the next window would leave the area.
    if (x + size.width() > area.width() || y + size.height() > area.height()) x = y = 0;
    sub->setGeometry(x, y, size.width(), size.height());
    sub->raise();
    const int bar = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    const int step = bar > 0 ? bar + 4 : 24;
    x += step;
    y += step;
  }
  if (active) mdiArea_->setActiveSubWindow(active);
}

void TMainForm::WindowTileItemClick() {
  QList<QMdiSubWindow*> subs;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
    if (!sub->isMinimized()) subs << sub;
  if (subs.isEmpty()) return;
  const QSize area = mdiArea_->viewport()->size();
  const int n = static_cast<int>(subs.size());
  const int rows = static_cast<int>(std::floor(std::sqrt(double(n))));
  const int perRow = n / rows;  // the last rows take one more when n does not divide
  int index = 0;
  for (int r = 0; r < rows; ++r) {
    const int count = perRow + (r >= rows - n % rows ? 1 : 0);
    const int top = area.height() * r / rows, bottom = area.height() * (r + 1) / rows;
    for (int c = 0; c < count; ++c, ++index) {
      QMdiSubWindow* sub = subs[index];
      if (sub->isMaximized()) sub->showNormal();
      const int left = area.width() * c / count, right = area.width() * (c + 1) / count;
      sub->setGeometry(left, top, right - left, bottom - top);
    }
  }
}

// Lines the minimised document windows up along the bottom of the area.
void TMainForm::WindowArrangeItemClick() {
  const int bottom = mdiArea_->viewport()->height();
  int x = 0;
  for (QMdiSubWindow* sub : mdiArea_->subWindowList())
    if (sub->isMinimized()) {
      sub->move(x, bottom - sub->height());
      x += sub->width();
    }
}

void TMainForm::WindowMinimizeItemClick() {
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) sub->showMinimized();
}

void TMainForm::N12Click() {
  for (const QPointer<QMdiSubWindow>& sub : Documents(mdiArea_))
    if (sub && qobject_cast<TMDIChild*>(sub->widget())) {
      sub->close();
      QCoreApplication::processEvents();
    }
  UpdateMenuItems();
}

void TMainForm::N13Click() { ShowHelpContext(helpContext_, this); }
void TMainForm::HelpAboutItemClick() { ShowAboutBox(this); }

void TMainForm::ShowError() {
  // The analysed field, unless its window has been closed since.
  if (TField* field = AnalysisRun().CurrentField; field && EditorOf(field))
    ReleaseMacroBodies(*field);
  const TErrorState& err = Prog.Err;
  if (TMDIChild* editor = EditorOf(err.ErrorField)) {
    BringForward(editor);
    if (err.ErrorCol != -1) editor->SetCurrentCell(err.ErrorCol, err.ErrorRow);
  }
  ShowErrorBox(err.ErrorCode, this);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // Every document window first; an editor may refuse (its project is not
  // saved and the person cancelled).
  for (const QPointer<QMdiSubWindow>& sub : Documents(mdiArea_)) {
    if (sub && !sub->close()) {
      event->ignore();
      UpdateMenuItems();
      return;
    }
  }
  WriteSettingsFile();
  event->accept();
}

}  // namespace vemo
