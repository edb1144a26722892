// Reading printed PDF files back as pictures: pdftoppm (Debian
// poppler-utils) rasterises a page, the tests look at its pixels.
#pragma once
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vemo::testing {

// The first page of a PDF file at dpi pixels per inch; a null image when
// the file cannot be rasterised.
inline QImage RasterisePdf(const QString& pdf, double dpi) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath(QStringLiteral("page"));
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi, 'f', 3),
                                       QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                       pdf, prefix});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The text of a PDF file (pdftotext, same package).
inline QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The bounding box of the pixels darker than threshold in every channel
// mean (a null rectangle when there are none).
inline QRect InkBox(const QImage& img, int threshold = 160) {
  int l = img.width(), t = img.height(), r = -1, b = -1;
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3 < threshold) {
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
      }
  }
  return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

}  // namespace vemo::testing
