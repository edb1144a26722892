// TForm5 "Настройка печати": the one print dialog of the program. The caller
// describes what it can print and hands over a drawing callback; the person
// places and sizes the printed rectangle on a miniature of the sheet,
// chooses the printer (or a PDF file), copies, orientation and range, and
// prints.
#pragma once
#include <QDialog>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "print/print_page.h"

class QCheckBox;
class QComboBox;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vemo {

struct TField;

// Set by the caller before the dialog opens.
struct TPrintRequest {
  TPrintCallback PrintCallback;
  uint8_t PrintAllAvailable = 0;         // "Все"
  uint8_t PrintSelectedAvailable = 0;    // "Выделенную часть"
  uint8_t PrintAnnotationAvailable = 0;  // "Аннотация для графиков"
  uint8_t PrintMonoAvailable = 0;        // "Черно-белая картинка"
  uint8_t PrintScalable = 1;             // handles and the two size buttons
  QString PrintTitle;                    // the print job's title
};

// Kept between uses of the dialog (the black-and-white flag lives in the
// settings as "Color Printer").
struct TPrintChoices {
  int Range = 0;  // 0 visible part, 1 all, 2 selected part
  uint8_t Landscape = 0;
  uint8_t Annotation = 1;
  TMiniRect Placement{43, 6, 142, 70};
};
TPrintChoices& PrintChoices();

// Where the dialog finds printers and asks for the name of a PDF file. The
// program uses the system's printers (through CUPS) and the file dialog;
// tests put their own answers here.
struct TPrinterSource {
  std::function<QStringList()> Names;
  std::function<QString()> DefaultName;
  bool OfferPdf = true;
  // The PDF file to write; "" cancels.
  std::function<QString(QWidget* parent)> ChoosePdfFile;
};
TPrinterSource& PrinterSource();
// The entry of the printer list that writes a PDF file.
QString PdfPrinterName();



class TForm5 : public QDialog {
  Q_OBJECT
 public:
  // Opening: the printer list, the kept choices and the first placement.
  explicit TForm5(const TPrintRequest& request, QWidget* parent = nullptr);
  ~TForm5() override;

  QComboBox* ComboBox1 = nullptr;  // printer
  QSpinBox* SpinEdit1 = nullptr;   // copies
  QCheckBox* CheckBox1 = nullptr;  // "Печать вертикально" (ticked = landscape)
  QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
  QCheckBox* CheckBox2 = nullptr;  // annotation
  QCheckBox* CheckBox3 = nullptr;  // black and white
  QPushButton* Button1 = nullptr;  // "На всю страницу"
  QPushButton* Button4 = nullptr;  // "Пропорционально"
  QPushButton* Printersetup = nullptr;
  QPushButton* Button2 = nullptr;  // "Печать"
  QPushButton* Button3 = nullptr;  // "Закрыть"
  QWidget* PaintBox1 = nullptr;  // the miniature

  // The placement on the miniature, in miniature pixels.
  TMiniRect Placement() const { return placement_; }
  void SetPlacement(const TMiniRect& r);
  bool Landscape() const;
  int Range() const;
  // No printer and no PDF output: printing is disabled.
  bool NoPrinter() const { return noPrinter_; }

  void Button1Click();  // "На всю страницу"
  void Button4Click();  // "Пропорционально"
  void Button2Click();  // "Печать"
  void PrintersetupClick();
  void CheckBox1Click();
  void RangeClick(int range);
  void ComboBox1Change();

  // The miniature's events.
  void PaintBox1Paint(QPainter& p);
  void PaintBox1MouseDown(Qt::MouseButton button, QPoint pos);
  void PaintBox1MouseMove(QPoint pos);
  void PaintBox1MouseUp();

  // What is under a miniature pixel, in the order the mouse tests it.
  enum class THit { None, BottomRight, BottomMiddle, RightMiddle, TopLeft, TopRight, BottomLeft,
                    TopMiddle, LeftMiddle, Inside };
  THit HitTest(QPoint pos) const;

 private:
  QSize Measure(int range) const;
  void Place(const TMiniRect& r);  // clamped (fixed in size when not scalable)
  void UpdateCursor(QPoint pos);
  QPrinter& CurrentPrinter();
  bool PdfChosen() const;
  bool PrintJob();

  TPrintRequest request_;
  TMiniRect placement_;
  bool noPrinter_ = false;
  THit drag_ = THit::None;
  QPoint pressPos_;
  TMiniRect pressRect_;
  std::unique_ptr<QPrinter> printer_;  // the chosen printer, its page set up
  QString printerName_;
};

// What a plot window prints: its picture, drawn by Draw into a rectangle
// (whole: the full ranges, else what the window shows; monochrome as the
// dialog says), in the proportions of Size; "Все" only when WholeAvailable;
// Annotate draws the annotation under it (none without).
struct TPlotPrint {
  QString Title;
  QSize Size;
  bool WholeAvailable = true;
  bool MonoAvailable = true;
  std::function<void(QPainter&, const QRect&, bool whole, bool monochrome)> Draw;
  std::function<void(QPainter&, const QRect&, bool monochrome)> Annotate;
};
TPrintRequest PlotPrintRequest(const TPlotPrint& plot);
// Annotation lines, one per quarter of area, left aligned.
void DrawAnnotationLines(QPainter& p, const QRect& area, const QStringList& lines);
// The first annotation line of a result window: its title and, when an
// editor shows the analysed field, ": " and the project's caption.
QString AnnotationTitle(const QString& title, const TField* field);

// Every "Печать" of the program: the dialog on a request, modally. With no
// printer and no PDF output the message "В системе Windows не установлено ни
// одного принтера." comes first and the dialog cannot print.
void ShowPrintDialog(const TPrintRequest& request, QWidget* parent);

}  // namespace vemo
