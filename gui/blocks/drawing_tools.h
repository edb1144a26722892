// Pieces shared by the editors that draw polylines with the mouse (the table
// editor and the fuzzy editor's membership functions): the pictures of
// their tool buttons, the buttons themselves, the rounding of picked
// coordinates and the distance of the cursor from a segment.
#pragma once
#include <QIcon>
#include <QPointF>
#include <QString>

class QToolButton;
class QWidget;

namespace vemo {

enum class TIcon { Pen, Move, Break, Cut, New, Copy, Paste, Zoom, Odd, Even, Save, Load, Clear, Rename, Delete };

QIcon ButtonIcon(TIcon kind);
// A flat tool button with a hint and an icon.
QToolButton* MakeButton(QWidget* parent, const char* name, const QString& hint, TIcon icon,
                        bool checkable = false);

// A coordinate picked with the mouse, rounded to a hundredth of the grid
// step of the visible extent.
double PickRound(double v, double extent);

// The distance in pixels from c to the segment a-b, and the fraction t of
// the way from a to b of the nearest point (clamped to the segment).
double SegmentDistance(QPointF c, QPointF a, QPointF b, double& t);

}  // namespace vemo
