#include "shell/main_menus.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "frequency/frequency_commands.h"
#include "shell/analysis_bridge.h"
#include "shell/main_form.h"
#include "shell/tool_icons.h"
#include "synthesis/synthesis_commands.h"

namespace vemo {

namespace {

using THandler = void (*)(TMainForm&);

struct TCommand {
  const char* Name;  // nullptr: a separator
  const char* Caption;
  const char* Shortcut;
  THandler Handler;
  bool Checkable = false;
};

struct TMenuEntry {
  const char* Caption;
  std::vector<TCommand> Items;
};

#define VEMO_MEMBER(fn) [](TMainForm& f) { f.fn(); }

const TCommand kSeparator{nullptr, nullptr, nullptr, nullptr};

const std::vector<TMenuEntry>& Menus() {
  static const std::vector<TMenuEntry> menus = {
      {"&Файл",
       {
           {"FileNewItem", "&Новый", "", VEMO_MEMBER(FileNewItemClick)},
           {"FileOpenItem", "&Открыть", "F3", VEMO_MEMBER(FileOpenItemClick)},
           {"FileSaveItem", "&Сохранить", "F2", VEMO_MEMBER(FileSaveItemClick)},
           {"FileSaveAsItem", "Сохранить &как...", "F12", VEMO_MEMBER(FileSaveAsItemClick)},
           kSeparator,
           {"N3", "&Печать...", "", VEMO_MEMBER(N3Click)},
           {"RecentSeparator", nullptr, nullptr, nullptr},
           {"F1", "", "", [](TMainForm& f) { f.RecentFileClick(0); }},
           {"F2", "", "", [](TMainForm& f) { f.RecentFileClick(1); }},
           {"F3", "", "", [](TMainForm& f) { f.RecentFileClick(2); }},
           {"F4", "", "", [](TMainForm& f) { f.RecentFileClick(3); }},
           kSeparator,
           {"FileExitItem", "&Выход", "Alt+X", [](TMainForm& f) { f.close(); }},
       }},
      {"&Правка",
       {
           {"UndoItem", "Отмена", "Alt+Backspace", VEMO_MEMBER(UndoItemClick)},
           {"RedoItem", "Повторить", "Shift+Alt+Backspace", VEMO_MEMBER(RedoItemClick)},
           kSeparator,
           {"CutItem", "&Вырезать", "Ctrl+X", VEMO_MEMBER(CutItemClick)},
           {"CopyItem", "&Копировать", "Ctrl+C", VEMO_MEMBER(CopyItemClick)},
           {"PasteItem", "Вст&авить", "Ctrl+V", VEMO_MEMBER(PasteItemClick)},
           {"DeleteItem", "&Удалить", "Ctrl+D", VEMO_MEMBER(DeleteItemClick)},
           kSeparator,
           {"N6", "&Очистить карман", "", VEMO_MEMBER(N6Click)},
           {"N25", "Выделить вс&е", "Ctrl+A", VEMO_MEMBER(N25Click)},
       }},
      {"&Анализ",
       {
           {"htItem", "&Переходный процесс", "F9", [](TMainForm& f) { RunTransientCommand(f); }},
           {"PhaseItem", "&Фазовый портрет", "Shift+F9", [](TMainForm& f) { RunPhaseCommand(f); }},
           kSeparator,
           {"LACHItem", "&ЛАЧХ/ФЧХ", "Ctrl+L", [](TMainForm& f) { RunBodeCommand(f); }},
           {"GodoItem", "&Годограф", "Ctrl+G", [](TMainForm& f) { RunHodographCommand(f, false); }},
           {"WsItem", "Передаточная функция &W(s)", "Ctrl+W", [](TMainForm& f) { RunTransferCommand(f); }},
           {"N8", "Прямая П&опова", "Ctrl+P", [](TMainForm& f) { RunHodographCommand(f, true); }},
           {"InOutItem", "&Входо-выходная характеристика", "", [](TMainForm& f) { RunInOutCharacteristic(f); }},
           kSeparator,
           {"N30", "&Оптимизация", "", [](TMainForm& f) { RunOptimizeCommand(f); }},
       }},
      {"&Синтез",
       {
           {"N23", "Синтез структуры по &W(s)", "", [](TMainForm& f) { RunStructureSynthesis(f); }},
           {"N4", "&Упрощение структуры", "", [](TMainForm& f) { RunStructureSimplification(f); }},
           {"N100", "Синтез &регулятора", "", [](TMainForm& f) { RunControllerSynthesis(f); }},
           kSeparator,
           {"N27", "&Генерация программы", "", [](TMainForm& f) { RunProgramGenerationCommand(f); }},
       }},
      {"&Настройки",
       {
           {"FlatBtnItem", "Всплывающие кнопки", "", VEMO_MEMBER(FlatBtnItemClick), true},
           {"BlackWhiteItem", "Копировать Ч/Б картинки", "", VEMO_MEMBER(BlackWhiteItemClick),
            true},
       }},
      {"&Окно",
       {
           {"WindowCascadeItem", "&Каскад", "", VEMO_MEMBER(WindowCascadeItemClick)},
           {"WindowTileItem", "&Мозаика", "", VEMO_MEMBER(WindowTileItemClick)},
           {"WindowArrangeItem", "&Упорядочить значки", "", VEMO_MEMBER(WindowArrangeItemClick)},
           {"WindowMinimizeItem", "&Свернуть все", "", VEMO_MEMBER(WindowMinimizeItemClick)},
           {"N12", "&Закрыть все", "", VEMO_MEMBER(N12Click)},
       }},
      {"&Помощь",
       {
           {"N13", "&Справка", "F1", VEMO_MEMBER(N13Click)},
           kSeparator,
           {"HelpAboutItem", "&О программе...", "", VEMO_MEMBER(HelpAboutItemClick)},
       }},
  };
  return menus;
}

#undef VEMO_MEMBER

// Lists the document windows under the fixed items of the window menu.
void FillWindowList(TMainForm& form, QMenu* menu, const QList<QAction*>& fixed) {
  for (QAction* a : menu->actions())
    if (!fixed.contains(a)) {
      menu->removeAction(a);
      a->deleteLater();
    }
  const QList<QMdiSubWindow*> subs = form.MdiArea()->subWindowList();
  if (subs.isEmpty()) return;
  menu->addSeparator();
  int n = 0;
  for (QMdiSubWindow* sub : subs) {
    QString title = sub->windowTitle();
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(title));
    a->setCheckable(true);
    a->setChecked(sub == form.MdiArea()->activeSubWindow());
    QObject::connect(a, &QAction::triggered, &form, [&form, sub] {
      if (form.MdiArea()->subWindowList().contains(sub)) form.MdiArea()->setActiveSubWindow(sub);
    });
  }
}

}  // namespace

void BuildMainMenu(TMainForm& form, QMenuBar* bar) {
  for (const TMenuEntry& entry : Menus()) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(entry.Caption));
    for (const TCommand& c : entry.Items) {
      if (!c.Caption) {
        QAction* sep = menu->addSeparator();
        if (c.Name) sep->setObjectName(QString::fromLatin1(c.Name));
        continue;
      }
      auto* a = new QAction(QString::fromUtf8(c.Caption), &form);
      a->setObjectName(QString::fromLatin1(c.Name));
      if (c.Shortcut[0]) a->setShortcut(QKeySequence(QString::fromLatin1(c.Shortcut)));
      a->setCheckable(c.Checkable);
      const THandler handler = c.Handler;
      QObject::connect(a, &QAction::triggered, &form, [&form, handler] { handler(form); });
      menu->addAction(a);
    }
    if (entry.Items.front().Name == QLatin1String("WindowCascadeItem")) {
      const QList<QAction*> fixed = menu->actions();
      QObject::connect(menu, &QMenu::aboutToShow, &form,
                       [&form, menu, fixed] { FillWindowList(form, menu, fixed); });
    }
  }
}

int BuildToolButtons(TMainForm& form, QWidget* panel) {
  struct TButton {
    const char* Name;
    const char* Item;
  };
  // Two rows: file and edit commands, then the analyses.
  static const TButton rows[2][9] = {
      {{"SpeedButton1", "FileNewItem"},
       {"OpenBtn", "FileOpenItem"},
       {"SaveBtn", "FileSaveItem"},
       {"CutBtn", "CutItem"},
       {"CopyBtn", "CopyItem"},
       {"PasteBtn", "PasteItem"},
       {"DeleteBtn", "DeleteItem"},
       {"UndoBtn", "UndoItem"},
       {"RedoBtn", "RedoItem"}},
      {{"htBtn", "htItem"},
       {"PhaseFaceBtn", "PhaseItem"},
       {"LACHBtn", "LACHItem"},
       {"GodoBtn", "GodoItem"},
       {"WsBtn", "WsItem"},
       {"PopovBtn", "N8"},
       {nullptr, nullptr},
       {nullptr, nullptr},
       {nullptr, nullptr}},
  };
  constexpr int kSize = 26, kLeft = 4, kTop = 9, kGap = 2, kGroupGap = 6;
  int right = 0;
  for (int r = 0; r < 2; ++r) {
    int x = kLeft;
    for (int i = 0; i < 9 && rows[r][i].Name; ++i) {
      const QString name = QString::fromLatin1(rows[r][i].Name);
      // Groups in the first row: file | clipboard | history.
      if (r == 0 && (i == 3 || i == 7)) x += kGroupGap;
      auto* b = new QToolButton(panel);
      b->setObjectName(name);
      QAction* item = form.Item(rows[r][i].Item);
      if (item) {
        item->setIcon(ToolIcon(name));
        b->setDefaultAction(item);
      }
      b->setIconSize(QSize(20, 20));
      b->setGeometry(x, kTop + r * (kSize + kGap), kSize, kSize);
      x += kSize;
      right = std::max(right, x);
    }
  }
  return right + 8;
}

}  // namespace vemo
