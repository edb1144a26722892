// The "Правила" and "Отладка" pages of the fuzzy editor: the rule text with
// its word lists and compiling, and the inference stepped rule by rule.
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

#include "blocks/drawing_tools.h"
#include "fuzzy/fuzzy_dlg.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_rules.h"
#include "model/editor_messages.h"
#include "shell/encoding.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

const QStringList kRuleFilters = {QStringLiteral("Текстовый файл (*.txt)")};

QComboBox* WordList(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMinimumContentsLength(8);
  return box;
}

}  // namespace

// ---- rules

void TFuzzyDlg::BuildRulesPage(QWidget* page) {
  Memo1 = new QPlainTextEdit(page);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  ComboBox2 = WordList(page, "ComboBox2");
  for (const char* w : {"", "(", ")", "ЕСЛИ", "ЕСТЬ", "ТО", "И", "ИЛИ", "НЕ"})
    ComboBox2->addItem(QString::fromUtf8(w));
  ComboBox3 = WordList(page, "ComboBox3");
  ComboBox4 = WordList(page, "ComboBox4");
  for (QComboBox* box : {ComboBox2, ComboBox3, ComboBox4})
    connect(box, &QComboBox::activated, this, [this, box](int i) { InsertWord(box->itemText(i)); });
  SaveRulesBtn = MakeButton(page, "SaveRulesBtn", QStringLiteral("Сохранить правила"), TIcon::Save);
  LoadRulesBtn = MakeButton(page, "LoadRulesBtn", QStringLiteral("Загрузить правила"), TIcon::Load);
  CheckBtn = new QPushButton(QStringLiteral("Проверить"), page);
  CheckBtn->setObjectName(QStringLiteral("CheckBtn"));
  CheckBtn->setAutoDefault(false);
  connect(CheckBtn, &QPushButton::clicked, this, [this] { CheckBtnClick(); });
  connect(SaveRulesBtn, &QToolButton::clicked, this, [this] {
    int index = 1;
    const QString path = ChooseFile(this, QStringLiteral("Сохранить правила"), kRuleFilters, QString(), true, index);
    if (!path.isEmpty()) SaveRules(path);
  });
  connect(LoadRulesBtn, &QToolButton::clicked, this, [this] {
    int index = 1;
    const QString path = ChooseFile(this, QStringLiteral("Загрузить правила"), kRuleFilters, QString(), false, index);
    if (!path.isEmpty()) LoadRules(path);
  });

  MemoMenu = new QMenu(this);
  MemoMenu->setObjectName(QStringLiteral("MemoMenu"));
  MemoMenu->addAction(QStringLiteral("В&ырезать"), Memo1, &QPlainTextEdit::cut);
  MemoMenu->addAction(QStringLiteral("&Копировать"), Memo1, &QPlainTextEdit::copy);
  MemoMenu->addAction(QStringLiteral("&Вставить"), Memo1, &QPlainTextEdit::paste);
  MemoMenu->addAction(QStringLiteral("&Удалить"), this, [this] { Memo1->textCursor().removeSelectedText(); });
  MemoMenu->addAction(QStringLiteral("Выделить вс&е"), Memo1, &QPlainTextEdit::selectAll);
  MemoMenu->addAction(QStringLiteral("&Печать..."), this, [this] { PrintRules(); });
  Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Memo1, &QWidget::customContextMenuRequested, this,
          [this](QPoint pos) { MemoMenu->popup(Memo1->mapToGlobal(pos)); });

  auto* lists = new QHBoxLayout;
  const std::pair<const char*, QComboBox*> rows[] = {
      {"Ключ.слова:", ComboBox2}, {"Переменные:", ComboBox3}, {"Ф-ции принадл.:", ComboBox4}};
  for (const auto& [caption, box] : rows) {
    lists->addWidget(new QLabel(QString::fromUtf8(caption), page));
    lists->addWidget(box);
  }
  lists->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(SaveRulesBtn);
  buttons->addWidget(LoadRulesBtn);
  buttons->addStretch(1);
  buttons->addWidget(CheckBtn);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(lists);
  layout->addWidget(Memo1, 1);
  layout->addLayout(buttons);
}

void TFuzzyDlg::InsertWord(const QString& word) {
  if (!word.isEmpty()) {
    QTextCursor c = Memo1->textCursor();
    const int pos = c.selectionStart();
    const bool fresh = pos == 0 || Memo1->document()->characterAt(pos - 1) == QChar::ParagraphSeparator;
    c.insertText(fresh ? word : QLatin1Char(' ') + word);
    Memo1->setTextCursor(c);
  }
  Memo1->setFocus();
}

bool TFuzzyDlg::CompileMemo() {
  RestartClick();
  ClearRules(Model);
  const QTextDocument* doc = Memo1->document();
  for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
    const int pos = CompileRule(Model, b.text().toStdString());
    if (pos == 0) continue;
    // The caret at the line's start plus the position of the offending
    // token (the end of the line at most).
    QTextCursor c(Memo1->document());
    c.setPosition(b.position() + std::min(pos, b.length() - 1));
    Memo1->setTextCursor(c);
    Memo1->setFocus();
    Tab->setCurrentIndex(2);
    const int code = 20 + Prog.Err.FuzzyError;
    Prog.Err.ErrorCode = static_cast<uint8_t>(code);
    ShowError(code);
    Prog.Err.ErrorCode = 0;
    return false;
  }
  Memo1->document()->setModified(false);
  return true;
}

void TFuzzyDlg::CheckBtnClick() {
  if (CompileMemo()) ShowNoErrors();
}

void TFuzzyDlg::SyncMemo() {
  bool stale = false;
  for (const TRuleItem& r : Model.Rules)
    stale = stale || r.VarIndex >= Model.Variables.size() || r.TermIndex >= Model.Terms.size() ||
            Model.Variables[r.VarIndex].Name.empty() || Model.Terms[r.TermIndex].VarIndex != r.VarIndex;
  if (!Memo1->document()->isModified()) {
    QString t = Text(RulesText(Model));
    if (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    if (t != Memo1->toPlainText()) Memo1->setPlainText(t);
  }
  Memo1->document()->setModified(Memo1->document()->isModified() || stale);
}

// Rule files are plain text in Windows-1251 with CR LF line ends.
bool TFuzzyDlg::SaveRules(const QString& path) {
  QString text = Memo1->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  const std::string bytes = Utf8ToCp1251(text.toStdString());
  if (ReplaceFileContents(path.toStdString(), bytes.data(), bytes.size())) return true;
  EditorMessage(QString::fromUtf8(kWriteError), QStringLiteral("Ошибка"));
  return false;
}

bool TFuzzyDlg::LoadRules(const QString& path) {
  std::string bytes;
  if (!ReadWholeFile(path.toStdString(), bytes)) {
    EditorMessage(QString::fromUtf8(kReadError), QStringLiteral("Ошибка"));
    return false;
  }
  QString text = Text(Cp1251ToUtf8(bytes));
  text.remove(QLatin1Char('\r'));
  Memo1->setPlainText(text);
  Memo1->document()->setModified(true);
  return true;
}

void TFuzzyDlg::PrintRules() {
  const QString text = Memo1->toPlainText();
  Print(QStringLiteral("Нечеткие правила"),
        [text](QPainter& p, const QRect& r) { p.drawText(r, Qt::AlignLeft | Qt::AlignTop, text); });
}

// ---- debugger

void TFuzzyDlg::BuildDebugPage(QWidget* page) {
  auto* grid = new QGridLayout;
  for (int k = 0; k < 4; ++k) {
    auto* g = new TMembershipBox(page);
    g->setObjectName(QStringLiteral("PaintBox%1").arg(10 + k));
    g->setMinimumHeight(90);
    const size_t var = static_cast<size_t>(k);
    g->OnPaint = [this, var](QPainter& p, const QRect& r) {
      TMembershipPicture pic = GraphPicture(var);
      pic.Current = -1;
      pic.ShowValue = true;
      for (size_t a = 0; a < debug_.AccumulatorCount(); ++a)
        if (debug_.Accumulator(a).Var == var) pic.Aggregate = &debug_.Accumulator(a).Points;
      DrawMembership(p, r, pic);
    };
    DebugGraphs[var] = g;
    auto* e = new QLineEdit(page);
    e->setObjectName(QStringLiteral("Edit%1").arg(5 + k));
    e->setMaximumWidth(110);
    connect(e, &QLineEdit::textEdited, this, [this, var](const QString& s) {
      double v = 0;
      if (var < Model.Variables.size() && ParseNumber(s.toStdString(), v)) {
        Model.Variables[var].Value = v;
        DebugGraphs[var]->update();
      }
    });
    ValueEdits[var] = e;
    grid->addWidget(g, k, 0);
    grid->addWidget(e, k, 1, Qt::AlignTop);
  }
  Edit9 = new QLineEdit(page);
  Edit9->setObjectName(QStringLiteral("Edit9"));
  Edit9->setReadOnly(true);
  StepBtn = new QPushButton(QStringLiteral("Следующий шаг (F8)"), page);
  StepBtn->setObjectName(QStringLiteral("StepBtn"));
  RestartBtn = new QPushButton(QStringLiteral("Перезапуск (Ctrl-F2)"), page);
  RestartBtn->setObjectName(QStringLiteral("RestartBtn"));
  for (QPushButton* b : {StepBtn, RestartBtn}) b->setAutoDefault(false);
  connect(StepBtn, &QPushButton::clicked, this, [this] { StepClick(); });
  connect(RestartBtn, &QPushButton::clicked, this, [this] { RestartClick(); });

  DebugMenu = new QMenu(this);
  DebugMenu->setObjectName(QStringLiteral("DebugMenu"));
  QAction* step = DebugMenu->addAction(QStringLiteral("Шаг"), this, [this] { StepClick(); });
  step->setShortcut(QKeySequence(Qt::Key_F8));
  QAction* restart = DebugMenu->addAction(QStringLiteral("Перезапуск"), this, [this] { RestartClick(); });
  restart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
  for (QAction* a : {step, restart}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    page->addAction(a);
  }
  page->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(page, &QWidget::customContextMenuRequested, this,
          [this, page](QPoint pos) { DebugMenu->popup(page->mapToGlobal(pos)); });

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Оценка достоверности"), page));
  row->addWidget(Edit9);
  row->addStretch(1);
  row->addWidget(StepBtn);
  row->addWidget(RestartBtn);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(grid, 1);
  layout->addLayout(row);
}

void TFuzzyDlg::StepClick() {
  if (Model.Rules.empty()) return;
  if (!debugActive_) {
    debug_.Reset();
    debugPos_ = 0;
    stepped_ = 0;
    debugActive_ = true;
  }
  TFuzzyInference::Fuzzify(Model);
  double truth = 0.0;
  const bool more = debug_.ApplyRule(Model, debugPos_, truth);
  ++stepped_;
  Edit9->setText(Text(FormatNumber(truth)));
  debug_.Defuzzify(Model);
  // After the last rule the next step starts again with fresh accumulators
  // (these stay on the graphs until then).
  if (!more || debugPos_ >= Model.Rules.size()) debugActive_ = false;
  for (size_t k = 0; k < 4 && k < Model.Variables.size(); ++k)
    ValueEdits[k]->setText(Text(FormatNumber(Model.Variables[k].Value)));
  RefreshGraphs();
}

void TFuzzyDlg::RestartClick() {
  debug_.Reset();
  debugPos_ = 0;
  debugActive_ = false;
  stepped_ = 0;
  if (Edit9) Edit9->clear();
  for (TMembershipBox* g : DebugGraphs)
    if (g) g->update();
}

}  // namespace vemo
