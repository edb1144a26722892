#include "print/print_page.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "canvas/qt_canvas.h"
#include "shell/file_replace.h"

namespace vemo {

namespace {

// 10 pt on the 96-unit-per-inch page.
constexpr int kPrintFontPixels = 13;

int Scaled(int value, int64_t numerator, int64_t denominator) {
  if (denominator <= 0) return value;
  return static_cast<int>(std::llround(double(value) * double(numerator) / double(denominator)));
}

}  // namespace

const TSheetPicture& SheetPicture(bool landscape) {
  auto picture = [](int l, int t, int r, int b, int sl, int st, int sr, int sb, int pl, int pt,
                    int pr, int pb, TMiniRect bounds) {
    return TSheetPicture{QRect(QPoint(l, t), QPoint(r - 1, b - 1)),
                         QRect(QPoint(sl, st), QPoint(sr - 1, sb - 1)),
                         QRect(QPoint(pl, pt), QPoint(pr - 1, pb - 1)), bounds};
  };
  static const TSheetPicture portrait =
      picture(38, 2, 146, 150, 45, 8, 156, 158, 43, 6, 141, 145, {43, 6, 142, 146});
  static const TSheetPicture wide =
      picture(3, 29, 172, 131, 10, 37, 181, 142, 7, 33, 168, 127, {7, 33, 168, 127});
  return landscape ? wide : portrait;
}

TMiniRect ClampPlacement(TMiniRect r, bool landscape) {
  const TMiniRect& b = SheetPicture(landscape).Bounds;
  r.Left = std::max(r.Left, b.Left);
  r.Top = std::max(r.Top, b.Top);
  r.Right = std::min(r.Right, b.Right);
  r.Bottom = std::min(r.Bottom, b.Bottom);
  if (r.Right - r.Left < kMinPlacementSize) r.Right = r.Left + kMinPlacementSize;
  if (r.Bottom - r.Top < kMinPlacementSize) r.Bottom = r.Top + kMinPlacementSize;
  // The smallest rectangle grown past a far edge goes back inside whole.
  if (r.Right > b.Right) {
    r.Left -= r.Right - b.Right;
    r.Right = b.Right;
  }
  if (r.Bottom > b.Bottom) {
    r.Top -= r.Bottom - b.Bottom;
    r.Bottom = b.Bottom;
  }
  return r;
}

TMiniRect FixedSizePlacement(const TMiniRect& r, QSize size, bool landscape) {
  const TMiniRect& b = SheetPicture(landscape).Bounds;
  const int w = std::clamp(size.width(), kMinPlacementSize, b.Width());
  const int h = std::clamp(size.height(), kMinPlacementSize, b.Height());
  const int left = std::clamp(r.Left, b.Left, b.Right - w);
  const int top = std::clamp(r.Top, b.Top, b.Bottom - h);
  return ClampPlacement({left, top, left + w, top + h}, landscape);
}

TMiniRect FullPagePlacement(bool landscape) { return ClampPlacement({0, 0, 1000, 1000}, landscape); }

TMiniRect ProportionalPlacement(const TMiniRect& r, QSize picture, bool landscape) {
  if (picture.width() <= 0 || picture.height() <= 0) return ClampPlacement(r, landscape);
  const TMiniRect& b = SheetPicture(landscape).Bounds;
  TMiniRect p = ClampPlacement(r, landscape);
  p.Bottom = p.Top + Scaled(p.Width(), picture.height(), picture.width());
  if (p.Bottom > b.Bottom) {
    p.Bottom = b.Bottom;
    p.Right = p.Left + Scaled(p.Height(), picture.width(), picture.height());
  }
  return ClampPlacement(p, landscape);
}

TMiniRect MovePlacement(const TMiniRect& r, int dx, int dy, bool landscape) {
  const TMiniRect& b = SheetPicture(landscape).Bounds;
  auto limit = [](int d, int lo, int hi) { return lo > hi ? lo : std::clamp(d, lo, hi); };
  dx = limit(dx, b.Left - r.Left, b.Right - r.Right);
  dy = limit(dy, b.Top - r.Top, b.Bottom - r.Bottom);
  return ClampPlacement({r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}, landscape);
}

QRect PlacementOnPage(const TMiniRect& r, bool landscape, QSizeF page) {
  const TMiniRect& b = SheetPicture(landscape).Bounds;
  auto x = [&](int v) {
    return static_cast<int>(std::lround((v - b.Left) * page.width() / b.Width()));
  };
  auto y = [&](int v) {
    return static_cast<int>(std::lround((v - b.Top) * page.height() / b.Height()));
  };
  return QRect(QPoint(x(r.Left), y(r.Top)), QPoint(x(r.Right) - 1, y(r.Bottom) - 1));
}

QSizeF UsePageUnits(QPainter& painter, const QPagedPaintDevice& device) {
  const double sx = std::max(1, device.logicalDpiX()) / kPageUnitsPerInch;
  const double sy = std::max(1, device.logicalDpiY()) / kPageUnitsPerInch;
  painter.scale(sx, sy);
  return QSizeF(device.width() / sx, device.height() / sy);
}

QFont PrintFont() { return MappedFont("MS Sans Serif", kPrintFontPixels); }

QRect AnnotationArea(const QRect& target, const QFont& font) {
  const int line = QFontMetrics(font).boundingRect(QStringLiteral("ABC")).height();
  return QRect(target.left(), target.top() + target.height(), target.width(), 4 * line);
}

void DrawPrintedPage(QPainter& painter, const TPageJob& job) {
  if (!job.Callback) return;
  const QFont font = PrintFont();
  auto prepare = [&] {
    painter.setFont(font);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::black);
  };
  painter.save();
  prepare();
  if (job.Clip) painter.setClipRect(job.Target);
  job.Callback(&painter, job.Mode, job.Target);
  painter.restore();
  if (job.Annotation) {
    painter.save();
    prepare();
    job.Callback(&painter, kAnnotationMode, AnnotationArea(job.Target, font));
    painter.restore();
  }
}

bool PrintOnDevice(QPagedPaintDevice& device, const TMiniRect& placement, bool landscape,
                   TPageJob job) {
  device.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // Cell pictures are drawings, not photographs: no lossy compression.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  const QSizeF page = UsePageUnits(painter, device);
  job.Target = PlacementOnPage(placement, landscape, page);
  DrawPrintedPage(painter, job);
  return painter.end();
}

QPageLayout DefaultPdfLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                     QPageLayout::Millimeter);
}

bool PrintToPdfFile(const QString& fileName, const QString& title, const QPageLayout& page,
                    const TMiniRect& placement, bool landscape, const TPageJob& job) {
  QBuffer bytes;
  if (!bytes.open(QIODevice::WriteOnly)) return false;
  {
    QPdfWriter pdf(&bytes);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Vemo"));
    pdf.setPageLayout(page);
    if (!PrintOnDevice(pdf, placement, landscape, job)) return false;
  }
  bytes.close();
  const QByteArray& data = bytes.data();
  return !data.isEmpty() &&
         ReplaceFileContents(fileName.toStdString(), data.constData(), size_t(data.size()));
}

}  // namespace vemo
