#include "fuzzy/fuzzy_dlg.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "canvas/qt_canvas.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_rules.h"
#include "fuzzy/winfact.h"
#include "help/help_window.h"
#include "model/editor_messages.h"
#include "shell/numtext.h"
#include "shell/qt_dialogs.h"

namespace vemo {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

const QStringList kSaveFilters = {QStringLiteral("Проекты FUZZY (*.fz)"),
                                  QStringLiteral("Файлы WinFACT (*.fuz)")};
const QStringList kOpenFilters = {QStringLiteral("Проекты FUZZY (*.fz)"),
                                  QStringLiteral("Файл WinFact (*.fuz)")};

// The common file dialogs; a saved name without an extension gets the
// chosen filter's.
QString FileDialog(QWidget* parent, const QString& title, const QStringList& filters,
                   const QString& defaultName, bool save, int& filterIndex) {
  QFileDialog dlg(parent, title, defaultName);
  dlg.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dlg.selectNameFilter(filters[filterIndex - 1]);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
  QString name = dlg.selectedFiles().front();
  if (save && QFileInfo(name).suffix().isEmpty()) {
    const QString f = dlg.selectedNameFilter();
    const qsizetype dot = f.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name += f.mid(dot, f.size() - dot - 1);  // ".fz" of "(*.fz)"
  }
  return name;
}

}  // namespace

int SideAt(int x, int y, int width, int height) {
  const bool midX = x >= kSideBand && x <= width - kSideBand;
  const bool midY = y >= kSideBand + 1 && y <= height - kSideBand;
  if (midX && y < kSideBand) return Top;
  if (midX && y > height - kSideBand) return Bottom;
  if (midY && x < kSideBand) return Left;
  if (midY && x > width - kSideBand) return Right;
  return -1;
}

// ---- TSideBox

TSideBox::TSideBox(QWidget* parent) : QWidget(parent) {
  setMinimumSize(sizeHint());
  setCursor(Qt::PointingHandCursor);
}

void TSideBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  // The block in the middle, drawn as on the scheme, and an arrow from the
  // output side's edge of it to the picture's edge.
  const QRect box(width() / 2 - 20, height() / 2 - 20, 40, 40);
  p.setPen(Qt::black);
  p.setBrush(QColor(0, 128, 0));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.setPen(Qt::white);
  p.setFont(MappedFont("MS Sans Serif", 7));
  p.drawText(box, Qt::AlignCenter, QStringLiteral("fuzzy"));
  const QPoint c = box.center();
  const QPoint ends[4][2] = {{{c.x(), box.top()}, {c.x(), 4}},
                             {{box.left(), c.y()}, {4, c.y()}},
                             {{c.x(), box.bottom()}, {c.x(), height() - 5}},
                             {{box.right(), c.y()}, {width() - 5, c.y()}}};
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int s = 0; s < 4; ++s) {
    const bool out = s == Side;
    p.setPen(QPen(out ? QColor(200, 0, 0) : QColor(Qt::gray), out ? 2 : 1));
    const QPointF a = ends[s][0], b = ends[s][1];
    p.drawLine(a, b);
    // Inputs point at the block, the output away from it.
    const QPointF tip = out ? b : a, from = out ? a : b;
    QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) continue;
    d /= len;
    const QPointF n(-d.y(), d.x());
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF({tip, tip - d * 8 + n * 4, tip - d * 8 - n * 4}));
  }
}

void TSideBox::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  const int s = SideAt(pos.x(), pos.y(), width(), height());
  if (s >= 0 && OnSide) OnSide(s);
}

// ---- TFuzzyDlg

TFuzzyDlg::TFuzzyDlg(const TFuzzyModel& model, uint8_t outputSide, QWidget* parent)
    : QDialog(parent), Model(model), OutputSide(outputSide & 3) {
  setWindowTitle(QStringLiteral("Нечеткий регулятор"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  ChooseFile = FileDialog;
  ShowError = [this](int code) { ShowErrorBox(code, this); };
  ShowNoErrors = [this] {
    TNoErrorDlg dlg(this);
    dlg.exec();
  };
  RunDialog = [](QDialog& d) { return d.exec() == QDialog::Accepted; };
  Print = [](const QString&, const std::function<void(QPainter&, const QRect&)>&) {
    EditorMessage(QStringLiteral("Печать пока недоступна."), QStringLiteral("Печать"));
  };

  Tab = new QTabWidget(this);
  Tab->setObjectName(QStringLiteral("Tab"));
  const char* const names[] = {"Переменные", "Ф-ции принадлежности", "Правила", "Отладка"};
  for (const char* n : names) {
    auto* page = new QWidget(Tab);
    Tab->addTab(page, QString::fromUtf8(n));
  }
  BuildVariablesPage(Tab->widget(0));
  BuildFunctionsPage(Tab->widget(1));
  BuildRulesPage(Tab->widget(2));
  BuildDebugPage(Tab->widget(3));
  InstallHelpKey(Tab, kFuzzyTabHelp);

  auto* method = new QGroupBox(QStringLiteral("Метод"), this);
  method->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1 = new QButtonGroup(method);
  auto* methodLayout = new QHBoxLayout(method);
  const char* const methods[] = {"MAX-DOT", "MAX-MIN"};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(methods[i]), method);
    RadioGroup1->addButton(b, i);
    methodLayout->addWidget(b);
  }
  connect(RadioGroup1, &QButtonGroup::idClicked, this,
          [this](int id) { Model.Method = static_cast<uint8_t>(id); });
  BitBtn1 = new QPushButton(QStringLiteral("Сохранить"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setToolTip(QStringLiteral("Сохранить проект регулятора"));
  BitBtn2 = new QPushButton(QStringLiteral("Загрузить"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setToolTip(QStringLiteral("Загрузить проект регулятора"));
  BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
  BitBtn3->setAutoDefault(false);
  BitBtn1->setAutoDefault(false);
  BitBtn2->setAutoDefault(false);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { LoadBtnClick(); });
  connect(BitBtn3, &QPushButton::clicked, this, [this] { OkBtnClick(); });

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(method);
  bottom->addStretch(1);
  bottom->addWidget(BitBtn1);
  bottom->addWidget(BitBtn2);
  bottom->addWidget(BitBtn3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Tab, 1);
  layout->addLayout(bottom);
  InstallHelpKey(this, kFuzzyDlgHelp);
  connect(Tab, &QTabWidget::currentChanged, this, [this](int page) { TabChange(page); });

  ModelReplaced();
  resize(640, 560);
}

// The name fields lose the focus while the dialog goes away; the model they
// would apply to is gone by then.
TFuzzyDlg::~TFuzzyDlg() {
  for (QLineEdit* e : Edits) e->disconnect(this);
}

bool TFuzzyDlg::Edit(TFuzzyBlock& block, QWidget* parent) {
  TFuzzyDlg dlg(block.Model, block.OutputSide, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  block.Model = std::move(dlg.Model);
  block.OutputSide = dlg.OutputSide;
  return true;
}

// ---- variables page

void TFuzzyDlg::BuildVariablesPage(QWidget* page) {
  Label1 = new QLabel(QStringLiteral("Обозначьте имена переменных входов и выхода, а также "
                                     "обозначите направление выхода"),
                      page);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  PaintBox1 = new TSideBox(page);
  PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
  PaintBox1->OnSide = [this](int side) { PaintBox1Side(side); };
  for (int k = 0; k < 4; ++k) {
    auto* e = new QLineEdit(page);
    e->setObjectName(QStringLiteral("Edit%1").arg(k + 1));
    e->setToolTip(QStringLiteral("Имя переменной"));
    e->setMaxLength(static_cast<int>(kFuzzyNameChars));
    e->setMaximumWidth(120);
    connect(e, &QLineEdit::editingFinished, this, [this] { ApplyVariableNames(); });
    Edits[static_cast<size_t>(k)] = e;
  }
  auto* grid = new QGridLayout;
  grid->addWidget(Edits[Top], 0, 1, Qt::AlignCenter);
  grid->addWidget(Edits[Left], 1, 0, Qt::AlignVCenter | Qt::AlignRight);
  grid->addWidget(PaintBox1, 1, 1, Qt::AlignCenter);
  grid->addWidget(Edits[Right], 1, 2, Qt::AlignVCenter | Qt::AlignLeft);
  grid->addWidget(Edits[Bottom], 2, 1, Qt::AlignCenter);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Label1);
  layout->addStretch(1);
  layout->addLayout(grid);
  layout->addStretch(2);
}

bool TFuzzyDlg::ApplyVariableNames() {
  for (QLineEdit* e : Edits) {
    if (ValidFuzzyName(e->text())) continue;
    EditorMessage(QString::fromUtf8(kBadFuzzyName), QStringLiteral("Ошибка"));
    e->setFocus();
    return false;
  }
  bool changed = false;
  for (size_t k = 0; k < 4; ++k) {
    const std::string name = Edits[k]->text().toStdString();
    if (k >= Model.Variables.size()) {
      if (name.empty()) continue;
      Model.Variables.resize(k + 1);
    }
    if (Model.Variables[k].Name == name) continue;
    Model.Variables[k].Name = name;
    changed = true;
  }
  if (changed) {
    Ranges.resize(Model.Variables.size(), {-1.0, 1.0});
    SyncMemo();
    RefreshLists();
  }
  return true;
}

void TFuzzyDlg::PaintBox1Side(int side) {
  OutputSide = static_cast<uint8_t>(side);
  PaintBox1->Side = side;
  PaintBox1->update();
}

// ---- pages and the model as a whole

void TFuzzyDlg::TabChange(int page) {
  ApplyVariableNames();
  if (page == 3) {
    // The debugger works on normalised functions.
    NormalizeAll(Model);
    if (Current >= static_cast<int>(Model.Terms.size())) Current = -1;
    SyncMemo();
    RefreshLists();
    for (size_t k = 0; k < 4; ++k)
      ValueEdits[k]->setText(k < Model.Variables.size() ? Text(FormatNumber(Model.Variables[k].Value))
                                                        : QString());
  }
  RefreshGraphs();
}

void TFuzzyDlg::ModelReplaced() {
  for (size_t k = 0; k < 4; ++k)
    Edits[k]->setText(k < Model.Variables.size() ? Text(Model.Variables[k].Name) : QString());
  PaintBox1->Side = OutputSide;
  PaintBox1->update();
  if (QAbstractButton* b = RadioGroup1->button(Model.Method ? 1 : 0)) b->setChecked(true);
  Ranges.assign(Model.Variables.size(), {-1.0, 1.0});
  for (size_t v = 0; v < Model.Variables.size(); ++v) FitRange(v);
  Current = Model.Terms.empty() ? -1 : 0;
  RestartClick();
  Memo1->setPlainText(Text(RulesText(Model)));
  // A rule text without a line after its last rule.
  if (Memo1->toPlainText().endsWith(QLatin1Char('\n'))) {
    QString t = Memo1->toPlainText();
    t.chop(1);
    Memo1->setPlainText(t);
  }
  Memo1->document()->setModified(false);
  RefreshLists();
}

bool TFuzzyDlg::SaveModel(const QString& path, int filterIndex) {
  if (filterIndex == 2) {
    switch (ExportWinFACT(Model, path.toStdString())) {
      case TWinFACTExport::Written: return true;
      case TWinFACTExport::DoesNotFit:
        EditorMessage(QString::fromUtf8(kWinFACTRefused), QStringLiteral("Ошибка"));
        return false;
      case TWinFACTExport::WriteFailed: break;
    }
  } else if (SaveModelFile(Model, path.toStdString())) {
    return true;
  }
  EditorMessage(QString::fromUtf8(kWriteError), QStringLiteral("Ошибка"));
  return false;
}

// A model file that cannot be read leaves the working model as it was; a
// WinFACT file keeps what was read before the damaged line.
bool TFuzzyDlg::LoadModel(const QString& path, int filterIndex) {
  TFuzzyModel m;
  bool ok = false;
  if (filterIndex == 2) {
    int last = -1;
    ok = ImportWinFACT(m, path.toStdString(), last);
    if (last >= 0 && last < 4) OutputSide = static_cast<uint8_t>(last);
    Model = std::move(m);
  } else if ((ok = LoadModelFile(m, path.toStdString()))) {
    Model = std::move(m);
  }
  if (!ok) EditorMessage(QString::fromUtf8(kReadError), QStringLiteral("Ошибка"));
  ModelReplaced();
  return ok;
}

void TFuzzyDlg::SaveBtnClick() {
  if (!ApplyVariableNames()) return;
  if (Memo1->document()->isModified() && !CompileMemo()) return;
  int index = 1;
  const QString path = ChooseFile(this, QStringLiteral("Сохранить проект регулятора"), kSaveFilters,
                                  QStringLiteral("default.fz"), true, index);
  if (!path.isEmpty()) SaveModel(path, index);
}

void TFuzzyDlg::LoadBtnClick() {
  int index = 1;
  const QString path = ChooseFile(this, QStringLiteral("Загрузить проект регулятора"), kOpenFilters,
                                  QStringLiteral("default.fz"), false, index);
  if (!path.isEmpty()) LoadModel(path, index);
}

void TFuzzyDlg::OkBtnClick() {
  if (!ApplyVariableNames()) return;
  if (Memo1->document()->isModified() && !CompileMemo()) return;
  accept();
}

void TFuzzyDlg::reject() {
  if (Memo1->document()->isModified() &&
      EditorAskYesNo(QStringLiteral("Правила были изменины, но не скомпилированы. Остановится?"),
                     QStringLiteral("Внимание")))
    return;
  QDialog::reject();
}

}  // namespace vemo
