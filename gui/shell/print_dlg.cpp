#include "shell/print_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "model/mdi_child.h"
#include "shell/cursors.h"
#include "shell/main_form.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace vemo {

namespace {

const char kNoPrinter[] = "В системе Windows не установлено ни одного принтера.";
constexpr int kHandleReach = 3;  // a handle is hit within 3 pixels

QString AskPdfFile(QWidget* parent) {
  QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Печать в PDF-файл"),
                                              QString(), QStringLiteral("PDF-файлы (*.pdf)"));
  if (!name.isEmpty() && !name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
    name += QStringLiteral(".pdf");
  return name;
}

TPrinterSource SystemPrinters() {
  TPrinterSource s;
  s.Names = [] { return QPrinterInfo::availablePrinterNames(); };
  s.DefaultName = [] { return QPrinterInfo::defaultPrinterName(); };
  s.ChoosePdfFile = AskPdfFile;
  return s;
}

}  // namespace

TPrintChoices& PrintChoices() {
  static TPrintChoices choices;
  return choices;
}

TPrinterSource& PrinterSource() {
  static TPrinterSource source = SystemPrinters();
  return source;
}

QString PdfPrinterName() { return QStringLiteral("PDF-файл"); }

// PaintBox1: the 185 x 161 picture of the sheet; its painting and mouse
// belong to the dialog.
class TPrintMiniature : public QWidget {
 public:
  TPrintMiniature(TForm5& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("PaintBox1"));
    setFixedSize(kMiniatureWidth, kMiniatureHeight);
    setMouseTracking(true);
    setToolTip(QStringLiteral("Расположение объекта печати на листе"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    form_.PaintBox1Paint(p);
  }
  void mousePressEvent(QMouseEvent* e) override {
    form_.PaintBox1MouseDown(e->button(), e->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* e) override { form_.PaintBox1MouseMove(e->position().toPoint()); }
  void mouseReleaseEvent(QMouseEvent*) override { form_.PaintBox1MouseUp(); }

 private:
  TForm5& form_;
};

TForm5::TForm5(const TPrintRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Настройка печати"));

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  Printersetup = new QPushButton(QStringLiteral("Настройка"), this);
  Printersetup->setObjectName(QStringLiteral("Printersetup"));
  SpinEdit1 = new QSpinBox(this);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit1->setRange(1, 100000);
  CheckBox1 = new QCheckBox(QStringLiteral("Печать вертикально"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  RadioButton1 = new QRadioButton(QStringLiteral("Только видимую часть"), this);
  RadioButton2 = new QRadioButton(QStringLiteral("Все"), this);
  RadioButton3 = new QRadioButton(QStringLiteral("Выделенную часть"), this);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
  CheckBox2 = new QCheckBox(QStringLiteral("Аннотация для графиков"), this);
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  CheckBox3 = new QCheckBox(QStringLiteral("Черно-белая картинка"), this);
  CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
  Button1 = new QPushButton(QStringLiteral("На всю страницу"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button4 = new QPushButton(QStringLiteral("Пропорционально"), this);
  Button4->setObjectName(QStringLiteral("Button4"));
  Button2 = new QPushButton(QStringLiteral("Печать"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button3 = new QPushButton(QStringLiteral("Закрыть"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  PaintBox1 = new TPrintMiniature(*this, this);

  // Printer row on top; the sheet on the left with its size buttons below;
  // the choices on the right; print and close at the bottom right.
  auto* printerRow = new QHBoxLayout;
  printerRow->addWidget(new QLabel(QStringLiteral("Печать на принтере:"), this));
  printerRow->addWidget(ComboBox1, 1);
  printerRow->addWidget(Printersetup);

  auto* sheet = new QVBoxLayout;
  auto* frame = new QGroupBox(this);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addWidget(PaintBox1, 0, Qt::AlignCenter);
  sheet->addWidget(frame);
  sheet->addWidget(Button1);
  sheet->addWidget(Button4);
  sheet->addStretch();

  auto* copies = new QFormLayout;
  copies->addRow(QStringLiteral("Кол-во копий:"), SpinEdit1);
  auto* ranges = new QGroupBox(QStringLiteral("Печатать"), this);
  auto* rangeLayout = new QVBoxLayout(ranges);
  for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3}) rangeLayout->addWidget(b);
  auto* choices = new QVBoxLayout;
  choices->addLayout(copies);
  choices->addWidget(CheckBox1);
  choices->addWidget(ranges);
  choices->addWidget(CheckBox2);
  choices->addWidget(CheckBox3);
  choices->addStretch();

  auto* middle = new QHBoxLayout;
  middle->addLayout(sheet);
  middle->addSpacing(8);
  middle->addLayout(choices, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Button2);
  bottom->addWidget(Button3);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(printerRow);
  layout->addLayout(middle);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Button2->setDefault(true);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
  connect(Printersetup, &QPushButton::clicked, this, [this] { PrintersetupClick(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  connect(RadioButton1, &QRadioButton::clicked, this, [this] { RangeClick(0); });
  connect(RadioButton2, &QRadioButton::clicked, this, [this] { RangeClick(1); });
  connect(RadioButton3, &QRadioButton::clicked, this, [this] { RangeClick(2); });

  // Opening: the printers (and the PDF file), the kept choices, the placement.
  const TPrinterSource& source = PrinterSource();
  QStringList names = source.Names ? source.Names() : QStringList();
  if (source.OfferPdf) names << PdfPrinterName();
  ComboBox1->addItems(names);
  const QString def = source.DefaultName ? source.DefaultName() : QString();
  ComboBox1->setCurrentIndex(std::max<qsizetype>(0, names.indexOf(def)));
  noPrinter_ = names.isEmpty();
  Button2->setEnabled(!noPrinter_);
  Printersetup->setEnabled(!noPrinter_);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
  ComboBox1Change();

  const TPrintChoices& kept = PrintChoices();
  RadioButton2->setEnabled(request_.PrintAllAvailable);
  RadioButton3->setEnabled(request_.PrintSelectedAvailable);
  const bool available[3] = {true, request_.PrintAllAvailable != 0,
                             request_.PrintSelectedAvailable != 0};
  const int range = kept.Range >= 0 && kept.Range < 3 && available[kept.Range] ? kept.Range : 0;
  (range == 0 ? RadioButton1 : range == 1 ? RadioButton2 : RadioButton3)->setChecked(true);
  CheckBox1->setChecked(kept.Landscape);
  if (printer_) printer_->setPageOrientation(kept.Landscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
  CheckBox2->setEnabled(request_.PrintAnnotationAvailable);
  CheckBox2->setChecked(kept.Annotation);
  CheckBox3->setEnabled(request_.PrintMonoAvailable);
  CheckBox3->setChecked(ProgramSettings().BlackWhitePrint);
  Button1->setEnabled(request_.PrintScalable);
  Button4->setEnabled(request_.PrintScalable);
  placement_ = ClampPlacement(kept.Placement, Landscape());
  if (request_.PrintScalable)
    Button4Click();
  else
    Place(placement_);
}

TForm5::~TForm5() = default;

bool TForm5::Landscape() const { return CheckBox1->isChecked(); }

int TForm5::Range() const {
  if (RadioButton3->isChecked()) return 2;
  if (RadioButton2->isChecked()) return 1;
  return 0;
}

QSize TForm5::Measure(int range) const {
  if (!request_.PrintCallback) return {};
  return request_.PrintCallback(nullptr, range + kMeasureModes, QRect()).size();
}

void TForm5::Place(const TMiniRect& r) {
  placement_ = request_.PrintScalable ? ClampPlacement(r, Landscape())
                                      : FixedSizePlacement(r, Measure(Range()), Landscape());
  PaintBox1->update();
}

void TForm5::SetPlacement(const TMiniRect& r) { Place(r); }

void TForm5::Button1Click() {
  if (request_.PrintScalable) Place(FullPagePlacement(Landscape()));
}

void TForm5::Button4Click() {
  if (!request_.PrintScalable) return;
  Place(ProportionalPlacement(placement_, Measure(Range()), Landscape()));
}

void TForm5::RangeClick(int) {
  if (request_.PrintScalable)
    Button4Click();
  else
    Place(placement_);
}

void TForm5::CheckBox1Click() {
  if (printer_)
    printer_->setPageOrientation(Landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
  Place(placement_);
}

bool TForm5::PdfChosen() const { return ComboBox1->currentText() == PdfPrinterName(); }

void TForm5::ComboBox1Change() {
  const QString name = ComboBox1->currentText();
  if (name.isEmpty()) {
    printer_.reset();
    return;
  }
  if (printer_ && name == printerName_) return;
  printerName_ = name;
  if (PdfChosen()) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setPageLayout(DefaultPdfLayout());
  } else {
    printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  }
  printer_->setPageOrientation(CheckBox1->isChecked() ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
  // Copies are a printer's matter; a PDF file is written once.
  SpinEdit1->setEnabled(!PdfChosen());
}

QPrinter& TForm5::CurrentPrinter() {
  if (!printer_) ComboBox1Change();
  return *printer_;
}

void TForm5::PrintersetupClick() {
  if (noPrinter_) return;
  QPageSetupDialog dlg(&CurrentPrinter(), this);
  if (dlg.exec() != QDialog::Accepted) return;
  // The system dialog may have turned the sheet.
  CheckBox1->setChecked(CurrentPrinter().pageLayout().orientation() == QPageLayout::Landscape);
  Place(placement_);
}

bool TForm5::PrintJob() {
  TPageJob job;
  job.Callback = request_.PrintCallback;
  job.Mode = Range();
  job.Clip = request_.PrintScalable != 0;
  job.Annotation = request_.PrintAnnotationAvailable && CheckBox2->isChecked();
  if (PdfChosen()) {
    const TPrinterSource& source = PrinterSource();
    const QString file = source.ChoosePdfFile ? source.ChoosePdfFile(this) : QString();
    if (file.isEmpty()) return false;
    if (PrintToPdfFile(file, request_.PrintTitle, CurrentPrinter().pageLayout(), placement_,
                       Landscape(), job))
      return true;
    ShowMessage(kWriteError);
    return false;
  }
  QPrinter& printer = CurrentPrinter();
  printer.setDocName(request_.PrintTitle);
  printer.setCopyCount(SpinEdit1->value());
  if (PrintOnDevice(printer, placement_, Landscape(), job)) return true;
  ShowMessage(QStringLiteral("Не удалось напечатать на принтере \"%1\".")
                  .arg(printerName_)
                  .toStdString());
  return false;
}

void TForm5::Button2Click() {
  if (noPrinter_ || !request_.PrintCallback) return;
  TPrintChoices& kept = PrintChoices();
  kept.Range = Range();
  kept.Landscape = Landscape();
  if (request_.PrintAnnotationAvailable) kept.Annotation = CheckBox2->isChecked();
  kept.Placement = placement_;
  const bool mono = request_.PrintMonoAvailable && CheckBox3->isChecked();
  if (request_.PrintMonoAvailable) ProgramSettings().BlackWhitePrint = mono;
  DrawMonochrome = mono ? 1 : 0;
  const bool printed = PrintJob();
  DrawMonochrome = 0;
  if (printed) accept();
}

// ---- the miniature

void TForm5::PaintBox1Paint(QPainter& p) {
  const TSheetPicture& sheet = SheetPicture(Landscape());
  p.fillRect(QRect(0, 0, kMiniatureWidth, kMiniatureHeight), palette().window());
  p.fillRect(sheet.Shadow, Qt::black);
  p.fillRect(sheet.Sheet, Qt::white);
  p.setPen(Qt::black);
  p.drawRect(sheet.Sheet.adjusted(0, 0, -1, -1));
  p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
  p.drawRect(sheet.Printable.adjusted(0, 0, -1, -1));

  const TMiniRect& r = placement_;
  const QRect box(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
  p.fillRect(box, QColor(0, 192, 0));
  p.setPen(Qt::black);
  p.setBrush(Qt::NoBrush);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  if (!request_.PrintScalable) return;
  const int mx = (r.Left + r.Right) / 2, my = (r.Top + r.Bottom) / 2;
  for (const QPoint c : {QPoint(r.Left, r.Top), QPoint(mx, r.Top), QPoint(r.Right, r.Top),
                         QPoint(r.Right, my), QPoint(r.Right, r.Bottom), QPoint(mx, r.Bottom),
                         QPoint(r.Left, r.Bottom), QPoint(r.Left, my)})
    p.fillRect(QRect(c.x() - 2, c.y() - 2, 4, 4), Qt::black);
}

TForm5::THit TForm5::HitTest(QPoint pos) const {
  const TMiniRect& r = placement_;
  if (request_.PrintScalable) {
    const int mx = (r.Left + r.Right) / 2, my = (r.Top + r.Bottom) / 2;
    const std::pair<THit, QPoint> handles[] = {
        {THit::BottomRight, {r.Right, r.Bottom}}, {THit::BottomMiddle, {mx, r.Bottom}},
        {THit::RightMiddle, {r.Right, my}},       {THit::TopLeft, {r.Left, r.Top}},
        {THit::TopRight, {r.Right, r.Top}},       {THit::BottomLeft, {r.Left, r.Bottom}},
        {THit::TopMiddle, {mx, r.Top}},           {THit::LeftMiddle, {r.Left, my}}};
    for (const auto& [hit, c] : handles)
      if (std::abs(pos.x() - c.x()) <= kHandleReach && std::abs(pos.y() - c.y()) <= kHandleReach)
        return hit;
  }
  if (pos.x() >= r.Left && pos.x() < r.Right && pos.y() >= r.Top && pos.y() < r.Bottom)
    return THit::Inside;
  return THit::None;
}

void TForm5::UpdateCursor(QPoint pos) {
  switch (HitTest(pos)) {
    case THit::BottomRight:
    case THit::TopLeft: PaintBox1->setCursor(Qt::SizeFDiagCursor); break;
    case THit::BottomMiddle:
    case THit::TopMiddle: PaintBox1->setCursor(Qt::SizeVerCursor); break;
    case THit::TopRight:
    case THit::BottomLeft: PaintBox1->setCursor(Qt::SizeBDiagCursor); break;
    case THit::RightMiddle:
    case THit::LeftMiddle: PaintBox1->setCursor(Qt::SizeHorCursor); break;
    case THit::Inside: PaintBox1->setCursor(ProgramCursor(crMove)); break;
    case THit::None: PaintBox1->unsetCursor(); break;
  }
}

void TForm5::PaintBox1MouseDown(Qt::MouseButton button, QPoint pos) {
  if (button != Qt::LeftButton) return;
  drag_ = HitTest(pos);
  pressPos_ = pos;
  pressRect_ = placement_;
}

void TForm5::PaintBox1MouseMove(QPoint pos) {
  if (drag_ == THit::None) {
    UpdateCursor(pos);
    return;
  }
  const int dx = pos.x() - pressPos_.x(), dy = pos.y() - pressPos_.y();
  TMiniRect r = pressRect_;
  switch (drag_) {
    case THit::Inside:
      placement_ = MovePlacement(pressRect_, dx, dy, Landscape());
      PaintBox1->update();
      return;
    case THit::BottomRight: r.Right += dx; r.Bottom += dy; break;
    case THit::BottomMiddle: r.Bottom += dy; break;
    case THit::RightMiddle: r.Right += dx; break;
    case THit::TopLeft: r.Left += dx; r.Top += dy; break;
    case THit::TopRight: r.Right += dx; r.Top += dy; break;
    case THit::BottomLeft: r.Left += dx; r.Bottom += dy; break;
    case THit::TopMiddle: r.Top += dy; break;
    case THit::LeftMiddle: r.Left += dx; break;
    case THit::None: break;
  }
  Place(r);
}

void TForm5::PaintBox1MouseUp() { drag_ = THit::None; }

TPrintRequest PlotPrintRequest(const TPlotPrint& plot) {
  TPrintRequest r;
  r.PrintCallback = [plot](QPainter* canvas, int mode, const QRect& rect) -> QRect {
    switch (mode) {
      case 0:
      case 1:
        if (canvas && plot.Draw) plot.Draw(*canvas, rect, mode == 1, DrawMonochrome != 0);
        return rect;
      case 0 + kMeasureModes:
      case 1 + kMeasureModes:
        return QRect(QPoint(0, 0), plot.Size);
      case kAnnotationMode:
        if (canvas && plot.Annotate) plot.Annotate(*canvas, rect, DrawMonochrome != 0);
        return rect;
      default:
        return {};
    }
  };
  r.PrintAllAvailable = plot.WholeAvailable ? 1 : 0;
  r.PrintSelectedAvailable = 0;
  r.PrintAnnotationAvailable = plot.Annotate ? 1 : 0;
  r.PrintMonoAvailable = plot.MonoAvailable ? 1 : 0;
  r.PrintScalable = 1;
  r.PrintTitle = plot.Title;
  return r;
}

void DrawAnnotationLines(QPainter& p, const QRect& area, const QStringList& lines) {
  const int step = std::max(1, area.height() / 4);
  for (int i = 0; i < lines.size() && i < 4; ++i)
    p.drawText(QRect(area.left(), area.top() + i * step, area.width(), step),
               Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
}

QString AnnotationTitle(const QString& title, const TField* field) {
  const TMainForm* main = TMainForm::Instance();
  const TMDIChild* editor = main ? main->EditorOf(field) : nullptr;
  return editor ? title + QStringLiteral(": ") + editor->Caption() : title;
}

void ShowPrintDialog(const TPrintRequest& request, QWidget* parent) {
  TForm5 dlg(request, parent);
  if (dlg.NoPrinter()) ShowMessage(kNoPrinter);
  dlg.exec();
}

}  // namespace vemo
