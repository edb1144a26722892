#include "blocks/nl_editor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "blocks/drawing_tools.h"
#include "blocks/table_blocks.h"
#include "model/editor_messages.h"
#include "shell/cursors.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/plot_axes.h"
#include "simulation/plot_form.h"

namespace vemo {

namespace {

const char* const kFileFilter = "Текстовые файлы (*.txt);;Все файлы (*)";

bool Finite(const TablePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// One axis of the range fitted to [lo, hi].
void FitAxis(double lo, double hi, double& from, double& to) {
  constexpr double kLimit = 1e300;
  lo = std::clamp(lo, -kLimit, kLimit);
  hi = std::clamp(hi, -kLimit, kLimit);
  const double w = hi - lo;
  if (w < 1e-7 * std::max(1.0, std::fabs(lo))) {
    // A single value: a band around it.
    const double d = std::max(1.0, std::fabs(lo) * 0.1);
    from = lo - d;
    to = hi + d;
  } else {
    from = lo - 0.05 * w;
    to = hi + 0.05 * w;
  }
  SafeRange(from, to);
}

}  // namespace

// ---- TTableBox

TTableBox::TTableBox(QWidget* parent) : TPlotBox(parent) { setMouseTracking(true); }

void TTableBox::mousePressEvent(QMouseEvent* e) {
  if (OnPress) OnPress(e);
  QWidget::mousePressEvent(e);
}

void TTableBox::mouseMoveEvent(QMouseEvent* e) {
  if (OnMove) OnMove(e);
}

void TTableBox::mouseReleaseEvent(QMouseEvent* e) {
  if (OnRelease) OnRelease(e);
}

// ---- TnlEditorForm

TnlEditorForm::TnlEditorForm(const PointTable& table, bool generator, QWidget* parent)
    : QDialog(parent), Table(table), generator_(generator), original_(table) {
  setWindowTitle(generator ? QStringLiteral("Генератор сигнала пользователя")
                           : QStringLiteral("\"Нелинейность\" пользователя"));
  ChooseFile = [](QWidget* p, const QString& title, bool save) {
    const QString filter = QString::fromUtf8(kFileFilter);
    return save ? QFileDialog::getSaveFileName(p, title, QString(), filter)
                : QFileDialog::getOpenFileName(p, title, QString(), filter);
  };

  PenBtn = MakeButton(this, "PenBtn", QStringLiteral("Рисование"), TIcon::Pen, true);
  MoveBtn = MakeButton(this, "MoveBtn", QStringLiteral("Перенос точки"), TIcon::Move, true);
  BreakPointBtn = MakeButton(this, "BreakPointBtn", QStringLiteral("Вставить точку, разбив линию"),
                             TIcon::Break, true);
  CutBtn = MakeButton(this, "CutBtn", QStringLiteral("\"Срезать\" (удалить) точку"), TIcon::Cut,
                      true);
  NewBtn = MakeButton(this, "NewBtn", QStringLiteral("Новый график"), TIcon::New);
  CopyBtn = MakeButton(this, "CopyBtn", QStringLiteral("Копировать"), TIcon::Copy);
  PasteBtn = MakeButton(this, "PasteBtn", QStringLiteral("Вставить"), TIcon::Paste);
  ZoomBtn = MakeButton(this, "ZoomBtn", QStringLiteral("Размер рабочего поля"), TIcon::Zoom);
  Mirrow1Btn = MakeButton(this, "Mirrow1Btn", QStringLiteral("Достроить нечетную функцию"),
                          TIcon::Odd);
  Mirrow2Btn = MakeButton(this, "Mirrow2Btn", QStringLiteral("Достроить четную функцию"),
                          TIcon::Even);
  SaveBtn = MakeButton(this, "SaveBtn", QStringLiteral("Сохранить в файл"), TIcon::Save);
  LoadBtn = MakeButton(this, "LoadBtn", QStringLiteral("Загрузить из файла"), TIcon::Load);
  CheckBox1 = new QCheckBox(QStringLiteral("Сетка"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setChecked(true);
  // The generator's abscissa is time from 0: reflections would put the
  // points at negative times, which the window does not show.
  Mirrow1Btn->setEnabled(!generator);
  Mirrow2Btn->setEnabled(!generator);

  auto* tools = new QButtonGroup(this);
  tools->setExclusive(true);
  const std::pair<QToolButton*, TTool> modes[] = {{PenBtn, TTool::Pen},
                                                  {MoveBtn, TTool::Move},
                                                  {BreakPointBtn, TTool::BreakPoint},
                                                  {CutBtn, TTool::Cut}};
  for (const auto& [button, tool] : modes) {
    tools->addButton(button);
    connect(button, &QToolButton::toggled, this, [this, tool = tool](bool on) {
      if (on) SetTool(tool);
    });
  }
  PenBtn->setChecked(true);

  connect(NewBtn, &QToolButton::clicked, this, [this] { NewBtnClick(); });
  connect(CopyBtn, &QToolButton::clicked, this, [this] { CopyBtnClick(); });
  connect(PasteBtn, &QToolButton::clicked, this, [this] { PasteBtnClick(); });
  connect(ZoomBtn, &QToolButton::clicked, this, [this] { ZoomBtnClick(); });
  connect(Mirrow1Btn, &QToolButton::clicked, this, [this] { Mirrow1BtnClick(); });
  connect(Mirrow2Btn, &QToolButton::clicked, this, [this] { Mirrow2BtnClick(); });
  connect(SaveBtn, &QToolButton::clicked, this, [this] { SaveBtnClick(); });
  connect(LoadBtn, &QToolButton::clicked, this, [this] { LoadBtnClick(); });
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { PaintBox->update(); });

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  for (QToolButton* b : {PenBtn, MoveBtn, BreakPointBtn, CutBtn}) buttons->addWidget(b);
  buttons->addSpacing(10);
  for (QToolButton* b : {NewBtn, CopyBtn, PasteBtn}) buttons->addWidget(b);
  buttons->addSpacing(10);
  for (QToolButton* b : {ZoomBtn, Mirrow1Btn, Mirrow2Btn}) buttons->addWidget(b);
  buttons->addSpacing(10);
  buttons->addWidget(CheckBox1);
  buttons->addSpacing(10);
  for (QToolButton* b : {SaveBtn, LoadBtn}) buttons->addWidget(b);
  buttons->addStretch();

  PaintBox = new TTableBox(this);
  PaintBox->setObjectName(QStringLiteral("PaintBox"));
  PaintBox->OnPaint = [this](QPainter& p, const QRect& r) { DrawTable(p, r, VisiblePicture()); };
  PaintBox->OnPress = [this](QMouseEvent* e) { PaintBoxMouseDown(e); };
  PaintBox->OnMove = [this](QMouseEvent* e) { PaintBoxMouseMove(e); };
  PaintBox->OnRelease = [this](QMouseEvent* e) { PaintBoxMouseUp(e); };
  SetTool(tool_);  // the tool's cursor
  MakePlotSliders(this, HPaintBox, VPaintBox, [this] { PaintBox->update(); });
  StatusBar = new TPanelBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  const QString xName = generator ? QStringLiteral("t: ") : QStringLiteral("x: ");
  StatusBar->Panels.push_back({110, xName, false, QColor(), 0});
  StatusBar->Panels.push_back({110, QStringLiteral("y: "), false, QColor(), 0});

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  N1 = PopupMenu1->addAction(QStringLiteral("Копировать как рисунок"));
  N1->setObjectName(QStringLiteral("N1"));
  connect(N1, &QAction::triggered, this, [this] { CopyPicture(); });
  PaintBox->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PaintBox, &QWidget::customContextMenuRequested, this,
          [this](QPoint pos) { PopupMenu1->popup(PaintBox->mapToGlobal(pos)); });

  LayOutPlotWindow(this, buttons, PaintBox, HPaintBox, VPaintBox, StatusBar);

  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  AttachMainCopy(this);
  FitRange();
  resize(560, 440);
}

bool TnlEditorForm::Edit(PointTable& table, bool generator, QWidget* parent) {
  TnlEditorForm form(table, generator, parent);
  form.exec();
  if (!form.Changed()) return false;
  table = std::move(form.Table);
  return true;
}

bool TnlEditorForm::EditBlock(TTableBlock& block, QWidget* parent) {
  return Edit(block.Table, block.EditorKind() == 8, parent);
}

// Compared as records, so that a point that is not a number (possible in a
// table read from a damaged scheme) does not count as a change.
bool TnlEditorForm::Changed() const {
  return SerializePointTable(Table) != SerializePointTable(original_);
}

void TnlEditorForm::SetTool(TTool tool) {
  tool_ = tool;
  dragged_ = -1;
  static constexpr TCursorId kToolCursors[] = {crPen, crMove, crFinger, crKnife};
  if (PaintBox) PaintBox->setCursor(ProgramCursor(kToolCursors[static_cast<int>(tool)]));
}

// ---- range and picture

void TnlEditorForm::FitRange() {
  double x0 = std::numeric_limits<double>::infinity(), x1 = -x0, y0 = x0, y1 = -x0;
  for (const TablePoint& p : Table.Points) {
    if (!Finite(p)) continue;
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  if (!(x0 <= x1)) {
    Range = TPlotRange{};
  } else {
    FitAxis(x0, x1, Range.XMin, Range.XMax);
    FitAxis(y0, y1, Range.YMin, Range.YMax);
  }
  if (generator_) {
    // Time from 0; a table that ends at or before 0 gets the first second.
    Range.XMin = 0.0;
    if (!(Range.XMax > 0.0)) Range.XMax = 1.0;
  }
}

TTablePicture TnlEditorForm::VisiblePicture(bool monochrome) const {
  TTablePicture pic;
  pic.Table = &Table;
  pic.Grid = CheckBox1->isChecked();
  pic.TimeAxis = generator_;
  pic.Monochrome = monochrome;
  double x0 = Range.XMin, x1 = Range.XMax, y0 = Range.YMin, y1 = Range.YMax;
  SafeRange(x0, x1);
  SafeRange(y0, y1);
  const double wx = x1 - x0, wy = y1 - y0;
  pic.XFrom = x0 + HPaintBox->LowFraction() * wx;
  pic.XTo = x0 + HPaintBox->HighFraction() * wx;
  pic.YFrom = y0 + VPaintBox->LowFraction() * wy;
  pic.YTo = y0 + VPaintBox->HighFraction() * wy;
  return pic;
}

TPlotFrame TnlEditorForm::VisibleFrame() const {
  return TableFrame(PaintBox->rect(), VisiblePicture());
}

QString TnlEditorForm::PictureTitle() { return QStringLiteral("График \"нелинейности\""); }

QImage TnlEditorForm::Picture(bool monochrome) const {
  QImage img = TableImage(VisiblePicture(monochrome), PaintBox->size());
  img.setText(QStringLiteral("Title"), PictureTitle());
  return img;
}

void TnlEditorForm::CopyPicture() {
  QApplication::clipboard()->setImage(Picture(PlotSettings().BlackWhiteClipboard));
}

void TnlEditorForm::ResetSliders() {
  HPaintBox->ResetQuietly();
  VPaintBox->ResetQuietly();
}

void TnlEditorForm::TableReplaced() {
  dragged_ = -1;
  FitRange();
  ResetSliders();
  PaintBox->update();
}

// ---- mouse

int TnlEditorForm::PointAt(QPointF pixel) const {
  const TPlotFrame f = VisibleFrame();
  int best = -1;
  double bestD2 = 0;
  for (size_t i = 0; i < Table.Points.size(); ++i) {
    const TablePoint& p = Table.Points[i];
    if (!Finite(p)) continue;
    const double dx = f.X(p.x) - pixel.x(), dy = f.Y(p.y) - pixel.y();
    if (std::fabs(dx) > kTableHitPixels || std::fabs(dy) > kTableHitPixels) continue;
    // Of points at the same distance the later one wins: it is drawn on top.
    const double d2 = dx * dx + dy * dy;
    if (best < 0 || d2 <= bestD2) {
      best = static_cast<int>(i);
      bestD2 = d2;
    }
  }
  return best;
}

int TnlEditorForm::SegmentAt(QPointF pixel) const {
  const TPlotFrame f = VisibleFrame();
  int best = -1;
  double bestD = 0;
  for (size_t i = 0; i + 1 < Table.Points.size(); ++i) {
    const TablePoint &p = Table.Points[i], &q = Table.Points[i + 1];
    if (!Finite(p) || !Finite(q)) continue;
    double t = 0;
    const double d =
        SegmentDistance(pixel, QPointF(f.X(p.x), f.Y(p.y)), QPointF(f.X(q.x), f.Y(q.y)), t);
    if (d > kTableHitPixels) continue;
    if (best < 0 || d < bestD) {
      best = static_cast<int>(i);
      bestD = d;
    }
  }
  return best;
}

TablePoint TnlEditorForm::ValueAt(QPointF pixel) const {
  const TPlotFrame f = VisibleFrame();
  const double px = std::clamp(pixel.x(), double(f.Plot.left()), double(f.Plot.right()));
  const double py = std::clamp(pixel.y(), double(f.Plot.top()), double(f.Plot.bottom()));
  TablePoint v{PickRound(f.ValueX(px), f.X1 - f.X0), PickRound(f.ValueY(py), f.Y1 - f.Y0)};
  if (generator_ && !(v.x >= 0.0)) v.x = 0.0;
  return v;
}

void TnlEditorForm::ShowCursor(QPointF pixel) {
  const TPlotFrame f = VisibleFrame();
  const double x = PickRound(f.ValueX(pixel.x()), f.X1 - f.X0);
  const double y = PickRound(f.ValueY(pixel.y()), f.Y1 - f.Y0);
  StatusBar->SetText(0, (generator_ ? QStringLiteral("t: ") : QStringLiteral("x: ")) +
                            QString::fromStdString(FormatNumber(x)));
  StatusBar->SetText(1, QStringLiteral("y: ") + QString::fromStdString(FormatNumber(y)));
}

void TnlEditorForm::PaintBoxMouseDown(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const QPointF pixel = e->position();
  ShowCursor(pixel);
  dragged_ = -1;
  switch (tool_) {
    case TTool::Pen: {
      // Only clicks on the plot itself draw; the label margins do not.
      if (!VisibleFrame().Plot.contains(pixel.toPoint())) return;
      if (Table.Points.size() >= kMaxTablePoints) return;
      Table.Points.push_back(ValueAt(pixel));
      break;
    }
    case TTool::Move:
      dragged_ = PointAt(pixel);
      return;
    case TTool::BreakPoint: {
      const int s = SegmentAt(pixel);
      if (s < 0 || Table.Points.size() >= kMaxTablePoints) return;
      // The new point lies on the segment, so the line keeps its shape; it
      // can be dragged away while the button is held.
      const TPlotFrame f = VisibleFrame();
      const TablePoint p = Table.Points[size_t(s)], q = Table.Points[size_t(s) + 1];
      double t = 0;
      SegmentDistance(pixel, QPointF(f.X(p.x), f.Y(p.y)), QPointF(f.X(q.x), f.Y(q.y)), t);
      const TablePoint n{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
      Table.Points.insert(Table.Points.begin() + s + 1, n);
      dragged_ = s + 1;
      break;
    }
    case TTool::Cut: {
      const int i = PointAt(pixel);
      if (i < 0) return;
      Table.Points.erase(Table.Points.begin() + i);
      break;
    }
  }
  PaintBox->update();
}

void TnlEditorForm::PaintBoxMouseMove(QMouseEvent* e) {
  const QPointF pixel = e->position();
  ShowCursor(pixel);
  if (!(e->buttons() & Qt::LeftButton) || dragged_ < 0 ||
      size_t(dragged_) >= Table.Points.size())
    return;
  Table.Points[size_t(dragged_)] = ValueAt(pixel);
  PaintBox->update();
}

void TnlEditorForm::PaintBoxMouseUp(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragged_ = -1;
}

// ---- buttons

void TnlEditorForm::NewBtnClick() {
  if (!EditorAskYesNo(QStringLiteral("Удалить текущий график?"), QStringLiteral("Внимание")))
    return;
  Table.Clear();
  dragged_ = -1;
  PaintBox->update();
}

void TnlEditorForm::CopyBtnClick() {
  auto* data = new QMimeData;
  const std::vector<uint8_t> record = SerializePointTable(Table);
  data->setData(QString::fromLatin1(kPointTableMime),
                QByteArray(reinterpret_cast<const char*>(record.data()),
                           static_cast<qsizetype>(record.size())));
  data->setText(QString::fromStdString(FormatPointTableText(Table)));
  QApplication::clipboard()->setMimeData(data);
}

// The editor's own copy first, else any text: the points of its lines that
// hold two numbers. A clipboard without a point leaves the table alone.
void TnlEditorForm::PasteBtnClick() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return;
  PointTable pasted;
  bool read = false;
  const QString mime = QString::fromLatin1(kPointTableMime);
  if (data->hasFormat(mime)) {
    const QByteArray bytes = data->data(mime);
    read = ParsePointTable(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                    static_cast<size_t>(bytes.size())),
                           pasted);
  }
  if (!read && data->hasText()) ReadPointTableText(data->text().toStdString(), pasted);
  if (pasted.Points.empty()) return;
  Table = std::move(pasted);
  TableReplaced();
}

// A cancelled dialog leaves the range as it was, even when a failed OK had
// already stored some of its edits.
void TnlEditorForm::ZoomBtnClick() {
  const TPlotRange before = Range;
  if (!TRangesDlg::Execute(Range, generator_, this)) {
    Range = before;
    return;
  }
  ResetSliders();
  PaintBox->update();
}

// Each point's reflection is added in reverse order at the end of the table
// nearer the ordinate axis (by the abscissa of the first and last points),
// so the table still runs as one line through the axis: (0,0) (1,1) (2,1)
// becomes (-2,-1) (-1,-1) (0,0) (1,1) (2,1) for the odd completion. A
// joining point that is its own reflection (on the axis, and for the odd
// completion at the origin) is not doubled.
void TnlEditorForm::Mirror(bool odd) {
  std::vector<TablePoint>& pts = Table.Points;
  if (pts.empty() || pts.size() > kMaxTablePoints / 2) return;
  auto image = [odd](const TablePoint& p) { return TablePoint{-p.x, odd ? -p.y : p.y}; };
  std::vector<TablePoint> out;
  out.reserve(2 * pts.size());
  if (std::fabs(pts.front().x) <= std::fabs(pts.back().x)) {
    for (size_t i = pts.size(); i-- > 0;) {
      const TablePoint m = image(pts[i]);
      if (i == 0 && m == pts[0]) break;
      out.push_back(m);
    }
    out.insert(out.end(), pts.begin(), pts.end());
  } else {
    out = pts;
    for (size_t i = pts.size(); i-- > 0;) {
      const TablePoint m = image(pts[i]);
      if (i + 1 == pts.size() && m == pts[i]) continue;
      out.push_back(m);
    }
  }
  pts = std::move(out);
  dragged_ = -1;
  // The range takes in the reflected half.
  TableReplaced();
}

void TnlEditorForm::Mirrow1BtnClick() { Mirror(true); }
void TnlEditorForm::Mirrow2BtnClick() { Mirror(false); }

bool TnlEditorForm::SaveToFile(const QString& name) {
  if (SavePointTableFile(Table, name.toStdString())) return true;
  ShowMessage(kWriteError);
  return false;
}

bool TnlEditorForm::LoadFromFile(const QString& name) {
  // Loading empties the table first: a failure keeps what was read before it.
  const bool ok = LoadPointTableFile(name.toStdString(), Table);
  if (!ok) ShowMessage(kReadError);
  TableReplaced();
  return ok;
}

void TnlEditorForm::SaveBtnClick() {
  const QString name = ChooseFile(this, QStringLiteral("Сохранить \"нелинейность\""), true);
  if (!name.isEmpty()) SaveToFile(name);
}

void TnlEditorForm::LoadBtnClick() {
  const QString name = ChooseFile(this, QStringLiteral("Загрузить \"нелинейность\""), false);
  if (!name.isEmpty()) LoadFromFile(name);
}

}  // namespace vemo
