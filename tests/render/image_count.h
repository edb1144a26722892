// Pixel counting for the render tests' pictures.
#pragma once
#include <QColor>
#include <QImage>
#include <QRect>

namespace vemo::test {

// The pixels of colour c inside r (the whole image when r is null).
inline int Count(const QImage& img, QColor c, QRect r = {}) {
  if (r.isNull()) r = img.rect();
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += img.pixelColor(x, y) == c;
  return n;
}

}  // namespace vemo::test
