// The picture of a variable's membership functions: grid, axes, every term
// of the variable as a polyline with its name over its highest point, the
// current term in red with markers on its points, and optionally the
// variable's value and an aggregated shape (the editor's debugger). The
// editor's graphs, its picture copies and vemo-cli draw the same.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <vector>

#include "fuzzy/fuzzy_model.h"
#include "simulation/plot_frame.h"

namespace vemo {

struct TMembershipPicture {
  const TFuzzyModel* Model = nullptr;
  size_t Var = 0;
  double XFrom = -1, XTo = 1;  // abscissa shown
  int Current = -1;            // the current term (drawn in red), -1 none
  bool Grid = true;
  bool Bold = false;           // thick lines ("Жирные графики")
  bool Monochrome = false;
  bool ShowValue = false;      // a vertical line at the variable's value
  const std::vector<TShapePoint>* Aggregate = nullptr;  // filled under the terms
};

// The ordinate is the membership degree; the picture shows 0 .. 1.1.
inline constexpr double kMembershipTop = 1.1;
// The half size in pixels of the markers on the current term's points.
inline constexpr int kMembershipMarker = 2;

// The abscissa range that shows every point of the variable's terms with a
// twentieth of their extent to spare; -1 .. 1 without points.
void MembershipRange(const TFuzzyModel& m, size_t var, double& from, double& to);

// The frame of a picture inside area: the variable's name in a line above
// it, the plot below.
TPlotFrame MembershipFrame(const QRect& area, const TMembershipPicture& pic);
void DrawMembership(QPainter& p, const QRect& area, const TMembershipPicture& pic);

// Every named variable's picture (with its own range), stacked top to bottom
// in area; pic gives the common style.
void DrawAllMemberships(QPainter& p, const QRect& area, const TMembershipPicture& pic);

QImage MembershipImage(const TMembershipPicture& pic, QSize size);

}  // namespace vemo
