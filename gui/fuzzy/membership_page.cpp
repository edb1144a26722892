// The "Ф-ции принадлежности" page of the fuzzy editor: one graph per named
// variable, the drawing tools acting on the current function, and the
// commands on whole functions.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "blocks/drawing_tools.h"
#include "fuzzy/fuzzy_dlg.h"
#include "fuzzy/fuzzy_file.h"
#include "model/editor_messages.h"
#include "shell/cursors.h"
#include "shell/numtext.h"
#include "shell/encoding.h"
#include "shell/file_replace.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"
#include "simulation/table_plot.h"

namespace vemo {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The clipboard form of a copied function: its name on the first line, then
// its single-function file text; the text alone goes along as plain text.
constexpr const char* kTermMime = "application/x-vemo-fuzzy-term";

}  // namespace

// ---- TMembershipBox

TMembershipBox::TMembershipBox(QWidget* parent) : TPlotBox(parent) {
  setMouseTracking(true);
  setMinimumHeight(130);
}

void TMembershipBox::mousePressEvent(QMouseEvent* e) {
  if (OnPress) OnPress(e);
  QWidget::mousePressEvent(e);
}

void TMembershipBox::mouseMoveEvent(QMouseEvent* e) {
  if (OnMove) OnMove(e);
}

void TMembershipBox::mouseReleaseEvent(QMouseEvent* e) {
  if (OnRelease) OnRelease(e);
}

// ---- building

void TFuzzyDlg::BuildFunctionsPage(QWidget* page) {
  Panel1 = new QWidget(page);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  PenBtn = MakeButton(Panel1, "PenBtn", QStringLiteral("Рисование"), TIcon::Pen, true);
  MoveBtn = MakeButton(Panel1, "MoveBtn", QStringLiteral("Перенести точку"), TIcon::Move, true);
  InsertBtn = MakeButton(Panel1, "InsertBtn", QStringLiteral("Вставить точку, разбив линию"),
                         TIcon::Break, true);
  CutBtn = MakeButton(Panel1, "CutBtn", QStringLiteral("\"Срезать\" (удалить) точку"), TIcon::Cut, true);
  ClearAllBtn = MakeButton(Panel1, "ClearAllBtn", QStringLiteral("Очистить все функции принадлежности"),
                           TIcon::Clear);
  LoadFuncBtn = MakeButton(Panel1, "LoadFuncBtn", QStringLiteral("Загрузить функцию принадлежности"),
                           TIcon::Load);
  SaveFuncBtn = MakeButton(Panel1, "SaveFuncBtn", QStringLiteral("Сохранить функцию принадлежности"),
                           TIcon::Save);
  CopyFuncBtn = MakeButton(Panel1, "CopyFuncBtn", QStringLiteral("Копировать функцию принадлежности"),
                           TIcon::Copy);
  PasteFuncBtn = MakeButton(Panel1, "PasteFuncBtn", QStringLiteral("Вставить функцию принадлежности"),
                            TIcon::Paste);
  DeleteFuncBtn = MakeButton(Panel1, "DeleteFuncBtn", QStringLiteral("Удалить функцию принадлежости"),
                             TIcon::Delete);
  NewFuncBtn = MakeButton(Panel1, "NewFuncBtn", QStringLiteral("Добавить новую ф-цию принадлежности"),
                          TIcon::New);
  RenameFuncBtn = MakeButton(Panel1, "RenameFuncBtn",
                             QStringLiteral("Переименовать функцию принадлежности"), TIcon::Rename);
  FieldSizeBtn = MakeButton(Panel1, "FieldSizeBtn", QStringLiteral("Размер поля"), TIcon::Zoom);
  CheckBox1 = new QCheckBox(QStringLiteral("Сетка"), Panel1);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setToolTip(QStringLiteral("Использовать сетку"));
  CheckBox1->setChecked(PlotSettings().FuzzyGrid);
  ComboBox1 = new QComboBox(Panel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setToolTip(QStringLiteral("Текущая функция принадлежности"));
  ComboBox1->setMinimumContentsLength(12);

  auto* tools = new QButtonGroup(Panel1);
  const std::pair<QToolButton*, TTool> modes[] = {
      {PenBtn, TTool::Pen}, {MoveBtn, TTool::Move}, {InsertBtn, TTool::Insert}, {CutBtn, TTool::Cut}};
  for (const auto& [button, tool] : modes) {
    tools->addButton(button);
    connect(button, &QToolButton::toggled, this, [this, tool = tool](bool on) {
      if (on) SetTool(tool);
    });
  }
  PenBtn->setChecked(true);
  connect(ClearAllBtn, &QToolButton::clicked, this, [this] { ClearAllClick(); });
  connect(LoadFuncBtn, &QToolButton::clicked, this, [this] { LoadFuncClick(); });
  connect(SaveFuncBtn, &QToolButton::clicked, this, [this] { SaveFuncClick(); });
  connect(CopyFuncBtn, &QToolButton::clicked, this, [this] { CopyFuncClick(); });
  connect(PasteFuncBtn, &QToolButton::clicked, this, [this] { PasteFuncClick(); });
  connect(DeleteFuncBtn, &QToolButton::clicked, this, [this] { DeleteFuncClick(); });
  connect(NewFuncBtn, &QToolButton::clicked, this, [this] { NewFuncClick(); });
  connect(RenameFuncBtn, &QToolButton::clicked, this, [this] { RenameFuncClick(); });
  connect(FieldSizeBtn, &QToolButton::clicked, this, [this] { FieldSizeClick(); });
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
    PlotSettings().FuzzyGrid = on;
    RefreshGraphs();
  });
  connect(ComboBox1, &QComboBox::activated, this,
          [this](int i) { SetCurrent(ComboBox1->itemData(i).toInt()); });

  auto* bar = new QHBoxLayout(Panel1);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setSpacing(2);
  for (QToolButton* b : {PenBtn, MoveBtn, InsertBtn, CutBtn}) bar->addWidget(b);
  bar->addSpacing(8);
  for (QToolButton* b : {NewFuncBtn, RenameFuncBtn, DeleteFuncBtn, CopyFuncBtn, PasteFuncBtn,
                         ClearAllBtn, SaveFuncBtn, LoadFuncBtn, FieldSizeBtn})
    bar->addWidget(b);
  bar->addSpacing(8);
  bar->addWidget(CheckBox1);
  bar->addWidget(ComboBox1, 1);

  ScrollBox1 = new QScrollArea(page);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setWidgetResizable(true);
  auto* inner = new QWidget(ScrollBox1);
  new QVBoxLayout(inner);
  ScrollBox1->setWidget(inner);

  StatusBar1 = new TPanelBar(page);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->Panels.push_back({110, QStringLiteral("x: "), false, QColor(), 0});
  StatusBar1->Panels.push_back({110, QStringLiteral("μ: "), false, QColor(), 0});

  GraphMenu = new QMenu(this);
  GraphMenu->setObjectName(QStringLiteral("GraphMenu"));
  GraphMenu->addAction(QStringLiteral("&Новая функция"), this, [this] { NewFuncClick(); });
  GraphMenu->addAction(QStringLiteral("&Копировать"), this, [this] { CopyFuncClick(); });
  GraphMenu->addAction(QStringLiteral("&Вставить"), this, [this] { PasteFuncClick(); });
  GraphMenu->addAction(QStringLiteral("&Удалить"), this, [this] { DeleteFuncClick(); });
  GraphMenu->addAction(QStringLiteral("Р&азмер поля"), this, [this] { FieldSizeClick(); });
  QMenu* copy = GraphMenu->addMenu(QStringLiteral("Копировать как &рисунок"));
  copy->addAction(QStringLiteral("&Все функции"), this, [this] { CopyPicture(true); });
  copy->addAction(QStringLiteral("&Только по текущей переменной"), this, [this] { CopyPicture(false); });
  GraphMenu->addAction(QStringLiteral("&Печать..."), this, [this] { PrintGraphs(); });
  BoldItem = GraphMenu->addAction(QStringLiteral("Жирные графики"));
  BoldItem->setCheckable(true);
  connect(BoldItem, &QAction::toggled, this, [this] { RefreshGraphs(); });

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Panel1);
  layout->addWidget(ScrollBox1, 1);
  layout->addWidget(StatusBar1);
}

// ---- state

void TFuzzyDlg::SetTool(TTool tool) {
  tool_ = tool;
  dragged_ = -1;
  static constexpr TCursorId kCursors[] = {crPen, crMove, crFinger, crKnife};
  for (TMembershipBox* g : Graphs) g->setCursor(ProgramCursor(kCursors[static_cast<int>(tool)]));
}

void TFuzzyDlg::SetCurrent(int term) {
  Current = term >= 0 && static_cast<size_t>(term) < Model.Terms.size() ? term : -1;
  dragged_ = -1;
  const int i = ComboBox1->findData(Current);
  ComboBox1->setCurrentIndex(i);
  RefreshGraphs();
}

void TFuzzyDlg::FitRange(size_t var) {
  if (var >= Ranges.size()) Ranges.resize(var + 1, {-1.0, 1.0});
  MembershipRange(Model, var, Ranges[var].first, Ranges[var].second);
}

void TFuzzyDlg::RefreshLists() {
  ComboBox1->clear();
  for (size_t i = 0; i < Model.Terms.size(); ++i)
    ComboBox1->addItem(Text(Model.Terms[i].Name), static_cast<int>(i));
  ComboBox1->setCurrentIndex(ComboBox1->findData(Current));
  ComboBox3->clear();
  for (const TFuzzyVar& v : Model.Variables)
    if (!v.Name.empty()) ComboBox3->addItem(Text(v.Name));
  ComboBox4->clear();
  for (const TFuzzyTerm& t : Model.Terms) ComboBox4->addItem(Text(t.Name));
  RefreshGraphs();
}

void TFuzzyDlg::RefreshGraphs() {
  if (Ranges.size() < Model.Variables.size()) Ranges.resize(Model.Variables.size(), {-1.0, 1.0});
  QLayout* column = ScrollBox1->widget()->layout();
  while (Graphs.size() < Model.Variables.size()) {
    const size_t var = Graphs.size();
    auto* g = new TMembershipBox(ScrollBox1->widget());
    g->setObjectName(QStringLiteral("Graph%1").arg(var + 1));
    g->OnPaint = [this, var](QPainter& p, const QRect& r) { DrawMembership(p, r, GraphPicture(var)); };
    g->OnPress = [this, var](QMouseEvent* e) { GraphMouseDown(var, e); };
    g->OnMove = [this, var](QMouseEvent* e) { GraphMouseMove(var, e); };
    g->OnRelease = [this, var](QMouseEvent* e) { GraphMouseUp(var, e); };
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [this, g](QPoint pos) { GraphMenu->popup(g->mapToGlobal(pos)); });
    column->addWidget(g);
    Graphs.push_back(g);
  }
  while (Graphs.size() > Model.Variables.size()) {
    delete Graphs.back();
    Graphs.pop_back();
  }
  for (size_t v = 0; v < Graphs.size(); ++v) {
    Graphs[v]->setVisible(!Model.Variables[v].Name.empty());
    Graphs[v]->update();
  }
  SetTool(tool_);
  for (size_t k = 0; k < DebugGraphs.size(); ++k) {
    DebugGraphs[k]->setVisible(k < Model.Variables.size() && !Model.Variables[k].Name.empty());
    ValueEdits[k]->setVisible(DebugGraphs[k]->isVisibleTo(DebugGraphs[k]->parentWidget()));
    DebugGraphs[k]->update();
  }
}

// ---- pictures

TMembershipPicture TFuzzyDlg::GraphPicture(size_t var, bool monochrome) const {
  TMembershipPicture pic;
  pic.Model = &Model;
  pic.Var = var;
  if (var < Ranges.size()) pic.XFrom = Ranges[var].first, pic.XTo = Ranges[var].second;
  pic.Current = Current;
  pic.Grid = CheckBox1->isChecked();
  pic.Bold = BoldItem->isChecked();
  pic.Monochrome = monochrome;
  return pic;
}

TPlotFrame TFuzzyDlg::GraphFrame(size_t var) const {
  return MembershipFrame(Graphs[var]->rect(), GraphPicture(var));
}

QImage TFuzzyDlg::Picture(bool all, bool monochrome) const {
  const int w = std::max(320, ScrollBox1->viewport()->width());
  if (!all) {
    const size_t var = Current >= 0 ? Model.Terms[static_cast<size_t>(Current)].VarIndex : 0;
    return MembershipImage(GraphPicture(var, monochrome), QSize(w, 200));
  }
  int named = 0;
  for (const TFuzzyVar& v : Model.Variables) named += !v.Name.empty();
  return PlotImage(QSize(w, 200 * std::max(1, named)), [&](QPainter& p, const QRect& r) {
    // Each named variable with the range of its graph.
    int k = 0;
    for (size_t v = 0; v < Model.Variables.size(); ++v) {
      if (Model.Variables[v].Name.empty()) continue;
      DrawMembership(p, QRect(r.left(), r.top() + 200 * k++, r.width(), 200), GraphPicture(v, monochrome));
    }
  });
}

void TFuzzyDlg::CopyPicture(bool all) {
  QImage img = Picture(all, PlotSettings().BlackWhiteClipboard);
  img.setText(QStringLiteral("Title"), QStringLiteral("Функции принадлежности"));
  QApplication::clipboard()->setImage(img);
}

void TFuzzyDlg::PrintGraphs() {
  bool ok = false;
  const QStringList choices = {QStringLiteral("Только по текущей переменной"), QStringLiteral("Все функции")};
  const QString choice = QInputDialog::getItem(this, QStringLiteral("Функции принадлежности"),
                                               QString(), choices, 0, false, &ok);
  if (!ok) return;
  const bool all = choice == choices[1];
  const QImage img = Picture(all, true);
  Print(QStringLiteral("Функции принадлежности"),
        [img](QPainter& p, const QRect& r) { p.drawImage(r, img); });
}

// ---- mouse

int TFuzzyDlg::PointAt(size_t var, QPointF pixel) const {
  if (Current < 0 || Model.Terms[static_cast<size_t>(Current)].VarIndex != var) return -1;
  const TPlotFrame f = GraphFrame(var);
  const auto& pts = Model.Terms[static_cast<size_t>(Current)].Shape.Points;
  int best = -1;
  double bestD2 = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const double dx = f.X(pts[i].X) - pixel.x(), dy = f.Y(pts[i].Y) - pixel.y();
    const double d2 = dx * dx + dy * dy;
    if (d2 > kFuzzyHitPixels * kFuzzyHitPixels) continue;
    if (best < 0 || d2 <= bestD2) best = static_cast<int>(i), bestD2 = d2;
  }
  return best;
}

int TFuzzyDlg::SegmentAt(size_t var, QPointF pixel) const {
  if (Current < 0 || Model.Terms[static_cast<size_t>(Current)].VarIndex != var) return -1;
  const TPlotFrame f = GraphFrame(var);
  const auto& pts = Model.Terms[static_cast<size_t>(Current)].Shape.Points;
  int best = -1;
  double bestD = 0;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    double t = 0;
    const double d = SegmentDistance(pixel, QPointF(f.X(pts[i].X), f.Y(pts[i].Y)),
                                     QPointF(f.X(pts[i + 1].X), f.Y(pts[i + 1].Y)), t);
    // Only where the perpendicular meets the segment.
    if (t <= 0.0 || t >= 1.0 || d > kFuzzyHitPixels) continue;
    if (best < 0 || d < bestD) best = static_cast<int>(i), bestD = d;
  }
  return best;
}

TShapePoint TFuzzyDlg::ValueAt(size_t var, QPointF pixel) const {
  const TPlotFrame f = GraphFrame(var);
  const double px = std::clamp(pixel.x(), double(f.Plot.left()), double(f.Plot.right()));
  const double x = PickRound(f.ValueX(px), f.X1 - f.X0);
  // Degrees stay within 0..1.
  const double y = std::clamp(PickRound(f.ValueY(pixel.y()), 1.0), 0.0, 1.0);
  return {x, y};
}

void TFuzzyDlg::ShowCursor(size_t var, QPointF pixel) {
  const TPlotFrame f = GraphFrame(var);
  StatusBar1->SetText(0, QStringLiteral("x: ") + Text(FormatNumber(PickRound(f.ValueX(pixel.x()), f.X1 - f.X0))));
  StatusBar1->SetText(1, QStringLiteral("μ: ") + Text(FormatNumber(PickRound(f.ValueY(pixel.y()), 1.0))));
}

void TFuzzyDlg::GraphMouseDown(size_t var, QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const QPointF pixel = e->position();
  ShowCursor(var, pixel);
  dragged_ = -1;
  // A click on another variable's graph (or with no function) starts a new
  // function of that variable.
  if (Current < 0 || Model.Terms[static_cast<size_t>(Current)].VarIndex != var) {
    NewFuncClick(static_cast<int>(var));
    return;
  }
  std::vector<TShapePoint>& pts = Model.Terms[static_cast<size_t>(Current)].Shape.Points;
  switch (tool_) {
    case TTool::Pen:
      if (!GraphFrame(var).Plot.contains(pixel.toPoint())) return;
      pts.push_back(ValueAt(var, pixel));
      dragged_ = static_cast<int>(pts.size()) - 1;
      break;
    case TTool::Move:
      dragged_ = PointAt(var, pixel);
      return;
    case TTool::Insert: {
      const int s = SegmentAt(var, pixel);
      if (s < 0) return;
      pts.insert(pts.begin() + s + 1, ValueAt(var, pixel));
      dragged_ = s + 1;
      break;
    }
    case TTool::Cut: {
      const int i = PointAt(var, pixel);
      if (i < 0) return;
      pts.erase(pts.begin() + i);
      // The last point gone: the whole function goes.
      if (pts.empty()) {
        DeleteFuncClick();
        return;
      }
      break;
    }
  }
  Graphs[var]->update();
}

void TFuzzyDlg::GraphMouseMove(size_t var, QMouseEvent* e) {
  ShowCursor(var, e->position());
  if (!(e->buttons() & Qt::LeftButton) || dragged_ < 0 || Current < 0) return;
  std::vector<TShapePoint>& pts = Model.Terms[static_cast<size_t>(Current)].Shape.Points;
  if (static_cast<size_t>(dragged_) >= pts.size()) return;
  pts[static_cast<size_t>(dragged_)] = ValueAt(var, e->position());
  Graphs[var]->update();
}

void TFuzzyDlg::GraphMouseUp(size_t var, QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragged_ = -1;
  if (var < Graphs.size()) Graphs[var]->update();
}

// ---- commands

bool TFuzzyDlg::AskFuncName(TFuncNameDlg& dlg) { return RunDialog(dlg); }

void TFuzzyDlg::NewFuncClick(int var) {
  if (!ApplyVariableNames()) return;
  TFuncNameDlg dlg(Model, -1, this);
  dlg.SetVar(var >= 0 ? var : Current >= 0 ? static_cast<int>(Model.Terms[static_cast<size_t>(Current)].VarIndex) : -1);
  if (!AskFuncName(dlg)) return;
  const size_t t = AddTerm(Model, dlg.Name().toStdString(), static_cast<uint32_t>(dlg.VarIndex()));
  Current = static_cast<int>(t);
  RefreshLists();
}

void TFuzzyDlg::RenameFuncClick() {
  if (Current < 0) return;
  TFuncNameDlg dlg(Model, Current, this);
  if (!AskFuncName(dlg)) return;
  TFuzzyTerm& t = Model.Terms[static_cast<size_t>(Current)];
  t.Name = dlg.Name().toStdString();
  t.VarIndex = static_cast<uint32_t>(dlg.VarIndex());
  SyncMemo();
  RefreshLists();
}

void TFuzzyDlg::DeleteFuncClick() {
  if (Current < 0) return;
  RemoveTerm(Model, static_cast<size_t>(Current));
  Current = Model.Terms.empty() ? -1 : std::min<int>(Current, static_cast<int>(Model.Terms.size()) - 1);
  dragged_ = -1;
  SyncMemo();
  RefreshLists();
}

void TFuzzyDlg::ClearAllClick() {
  if (!EditorAskYesNo(QStringLiteral("Вы уверены, что хотите очистить все функции принадлежности."),
                      QStringLiteral("Внимание")))
    return;
  while (!Model.Terms.empty()) RemoveTerm(Model, Model.Terms.size() - 1);
  Current = -1;
  dragged_ = -1;
  SyncMemo();
  RefreshLists();
}

void TFuzzyDlg::CopyFuncClick() {
  if (Current < 0) return;
  const TFuzzyTerm& t = Model.Terms[static_cast<size_t>(Current)];
  auto* data = new QMimeData;
  const QString text = Text(ShapeText(t.Shape));
  data->setData(QString::fromLatin1(kTermMime), (Text(t.Name) + QLatin1Char('\n') + text).toUtf8());
  data->setText(text);
  QApplication::clipboard()->setMimeData(data);
}

QString TFuzzyDlg::UniqueName(const std::string& base) const {
  auto taken = [&](const std::string& n) {
    for (const TFuzzyTerm& t : Model.Terms)
      if (UpperName(t.Name) == UpperName(n)) return true;
    return false;
  };
  const std::string stem = base.empty() ? std::string("F") : base;
  if (!taken(stem)) return Text(stem);
  for (int k = 1; k < 100000; ++k) {
    const std::string suffix = std::to_string(k);
    const std::string n = Utf8Left(stem, kFuzzyNameChars - suffix.size()) + suffix;
    if (!taken(n)) return Text(n);
  }
  return {};
}

// The copy (or any text of number pairs) as a new function of the current
// function's variable, named after the copy with a number added.
void TFuzzyDlg::PasteFuncClick() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return;
  std::string name;
  TFuzzyShape shape;
  if (data->hasFormat(QString::fromLatin1(kTermMime))) {
    const QString s = QString::fromUtf8(data->data(QString::fromLatin1(kTermMime)));
    const qsizetype nl = s.indexOf(QLatin1Char('\n'));
    name = s.left(nl).toStdString();
    ParseShapeText(s.mid(nl + 1).toStdString(), shape);
  } else if (data->hasText()) {
    ParseShapeText(data->text().toStdString(), shape);
  }
  if (shape.Points.empty()) return;
  int var = Current >= 0 ? static_cast<int>(Model.Terms[static_cast<size_t>(Current)].VarIndex) : -1;
  for (size_t v = 0; var < 0 && v < Model.Variables.size(); ++v)
    if (!Model.Variables[v].Name.empty()) var = static_cast<int>(v);
  const QString unique = UniqueName(name);
  if (var < 0 || unique.isEmpty()) return;
  Current = static_cast<int>(AddTerm(Model, unique.toStdString(), static_cast<uint32_t>(var), shape));
  RefreshLists();
}

void TFuzzyDlg::FieldSizeClick() {
  if (!ApplyVariableNames()) return;
  const int var = Current >= 0 ? static_cast<int>(Model.Terms[static_cast<size_t>(Current)].VarIndex) : 0;
  TFieldSizeDlg dlg(Model, Ranges, var, this);
  if (RunDialog(dlg)) RefreshGraphs();
}

bool TFuzzyDlg::SaveFuncToFile(const QString& path) {
  if (Current < 0) return false;
  const std::string text = ShapeText(Model.Terms[static_cast<size_t>(Current)].Shape);
  if (ReplaceFileContents(path.toStdString(), text.data(), text.size())) return true;
  EditorMessage(QString::fromUtf8(kWriteError), QStringLiteral("Ошибка"));
  return false;
}

bool TFuzzyDlg::LoadFuncFromFile(const QString& path) {
  std::string bytes;
  TFuzzyShape shape;
  if (!ReadWholeFile(path.toStdString(), bytes) || !ParseShapeText(bytes, shape)) {
    EditorMessage(QString::fromUtf8(kReadError), QStringLiteral("Ошибка"));
    return false;
  }
  // The suggested name: the file name up to its first ".".
  QString name = QFileInfo(path).fileName();
  name = name.left(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
  TFuncNameDlg dlg(Model, -1, this);
  dlg.Edit1->setText(name.left(static_cast<int>(kFuzzyNameChars)));
  if (Current >= 0) dlg.SetVar(static_cast<int>(Model.Terms[static_cast<size_t>(Current)].VarIndex));
  if (!AskFuncName(dlg)) return false;
  Current = static_cast<int>(AddTerm(Model, dlg.Name().toStdString(), static_cast<uint32_t>(dlg.VarIndex()), shape));
  RefreshLists();
  return true;
}

void TFuzzyDlg::SaveFuncClick() {
  if (Current < 0) return;
  int index = 1;
  const QString path = ChooseFile(this, QStringLiteral("Сохранить ф-цию принадлежности"),
                                  {QStringLiteral("Все файлы (*)")},
                                  Text(Model.Terms[static_cast<size_t>(Current)].Name), true, index);
  if (!path.isEmpty()) SaveFuncToFile(path);
}

void TFuzzyDlg::LoadFuncClick() {
  int index = 1;
  const QString path = ChooseFile(this, QStringLiteral("Загрузить ф-цию принадлежности"),
                                  {QStringLiteral("Все файлы (*)")}, QString(), false, index);
  if (!path.isEmpty()) LoadFuncFromFile(path);
}

}  // namespace vemo
