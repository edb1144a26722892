// Printing: where the printed picture lies on the sheet (a rectangle set on
// a 185 x 161 pixel miniature of the sheet), how that rectangle maps to the
// page, and the drawing of one print job on a printer or a PDF page.
#pragma once
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QPagedPaintDevice;

namespace vemo {

// What a window prints: modes 0 (visible part), 1 (all) and 2 (selected
// part) draw into rect; modes 3, 4 and 5 draw nothing (canvas may be null)
// and return the pixel rectangle of the same ranges; mode 6 draws the
// annotation into rect. The drawing modes return rect.
using TPrintCallback = std::function<QRect(QPainter* canvas, int mode, const QRect& rect)>;
inline constexpr int kMeasureModes = 3;  // mode + 3 measures mode's range
inline constexpr int kAnnotationMode = 6;

// A rectangle in miniature pixels: left/top are its first pixels,
// right/bottom the first pixels beyond it.
struct TMiniRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TMiniRect&) const = default;
};

inline constexpr int kMiniatureWidth = 185, kMiniatureHeight = 161;
// The smallest placement, in miniature pixels each way.
inline constexpr int kMinPlacementSize = 5;

// The miniature of a portrait or a landscape sheet: the sheet, its black
// shadow and the printable area as drawn, and the bounds the placement is
// kept in (their right/bottom edges are the printable area's far edges).
struct TSheetPicture {
  QRect Sheet, Shadow, Printable;
  TMiniRect Bounds;
};
const TSheetPicture& SheetPicture(bool landscape);

// The placement kept inside the bounds of the sheet and at least 5 x 5
// pixels.
TMiniRect ClampPlacement(TMiniRect r, bool landscape);
// The placement of a picture that may not be scaled: its top left corner
// kept, its size the measured size (at most the bounds), then clamped.
TMiniRect FixedSizePlacement(const TMiniRect& r, QSize size, bool landscape);
// "На всю страницу": the whole printable area.
TMiniRect FullPagePlacement(bool landscape);
// "Пропорционально": left, top and right kept, the height made to follow the
// picture's proportions; when that height does not fit below the top, the
// width is narrowed instead so that the proportions still hold.
TMiniRect ProportionalPlacement(const TMiniRect& r, QSize picture, bool landscape);
// The placement moved by (dx, dy) as a whole, its size kept, stopping at
// the bounds.
TMiniRect MovePlacement(const TMiniRect& r, int dx, int dy, bool landscape);

// The placement on a page whose printable area is page units large:
// portrait x' = (x - 43) * width / 99, y' = (y - 6) * height / 140;
// landscape x' = (x - 7) * width / 161, y' = (y - 33) * height / 94.
QRect PlacementOnPage(const TMiniRect& r, bool landscape, QSizeF page);

// Printed pages are drawn in units of 1/96 inch, the pixels of the screen
// the pictures are designed for, whatever the printer's resolution.
inline constexpr double kPageUnitsPerInch = 96.0;
// Scales the painter of a paged device (a printer, a PDF writer) so that
// one unit is 1/96 inch, the origin at the printable area's top left
// corner; returns the printable area in those units.
QSizeF UsePageUnits(QPainter& painter, const QPagedPaintDevice& device);

// The canvas font of a print job: "MS Sans Serif" 10 pt, regular.
QFont PrintFont();
// The annotation area: from the bottom of the printed rectangle, as wide
// as it and four text lines high (4 x the height of "ABC" in font).
QRect AnnotationArea(const QRect& target, const QFont& font);

// One print job on a page, in page units: the canvas font, a white brush and
// a black pen; the callback draws range `Mode` into Target (clipped to it
// when the picture is scalable); then, with Annotation, the callback draws
// mode 6 into the annotation area below.
struct TPageJob {
  TPrintCallback Callback;
  int Mode = 0;
  QRect Target;
  bool Clip = true;
  bool Annotation = false;
};
void DrawPrintedPage(QPainter& painter, const TPageJob& job);

// A whole job on a paged device that is set up already (page size,
// orientation, output): the placement is mapped onto the printable area
// and the page is drawn. False when the device cannot be painted on.
bool PrintOnDevice(QPagedPaintDevice& device, const TMiniRect& placement, bool landscape,
                   TPageJob job);

// The page of a PDF file unless the person chose another: A4 with 10 mm
// margins, as a printer's printable area would leave.
QPageLayout DefaultPdfLayout();
// The same job written as a one-page PDF file on the given page (its
// orientation follows landscape), through a temporary file beside the
// target renamed over it only when complete. False when the file cannot be
// written; the target then stays as it was.
bool PrintToPdfFile(const QString& fileName, const QString& title, const QPageLayout& page,
                    const TMiniRect& placement, bool landscape, const TPageJob& job);

}  // namespace vemo
