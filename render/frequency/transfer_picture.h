// The picture of a W(s) text as the transfer-function window shows it:
// the name, then the fraction typeset with the numerator over the
// denominator, powers of s raised and products written with a dot.
#pragma once
#include <QImage>
#include <QPainter>
#include <QString>

namespace vemo {

// The size of the picture of a text: 8 pixels wider than the typeset text
// (which starts at x = 8), and the height of "123" plus 45 pixels, or more
// when the fraction needs it.
QSize TransferPictureSize(const QString& text);
// Draws the text with its top-left corner at origin.
void DrawTransferText(QPainter& p, QPoint origin, const QString& text);
// The picture on white.
QImage TransferPicture(const QString& text);

}  // namespace vemo
