// The picture of membership functions: every term of the variable drawn,
// the current one in red with markers on its points, other variables' terms
// left out, the value line and the aggregate of the debugger, black and
// white pictures.
#include <QImage>
#include <QtTest>

#include "fuzzy/membership_plot.h"
#include "image_count.h"

using namespace vemo;

namespace {

using test::Count;

const QColor kCurrent(255, 0, 0), kFill(255, 230, 150);
const QSize kSize(320, 200);

TFuzzyModel Model() {
  TFuzzyModel m;
  AddVariable(m, "E");
  AddVariable(m, "U");
  AddTerm(m, "A", 0, TFuzzyShape{{{-1, 0}, {0, 1}, {1, 0}}});
  AddTerm(m, "B", 0, TFuzzyShape{{{0, 0}, {1, 1}, {2, 1}, {3, 0}}});
  AddTerm(m, "C", 1, TFuzzyShape{{{-5, 0}, {-4, 1}, {-3, 0}}});
  return m;
}

// Pixels that are neither white, grey, black nor the green of the axes.
int Coloured(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y).saturation() > 60 && img.pixelColor(x, y) != QColor(0, 128, 0);
  return n;
}

}  // namespace

class MembershipPlotTest : public QObject {
  Q_OBJECT

 private slots:
  void TermsOfTheVariableWithTheCurrentOneMarked() {
    const TFuzzyModel m = Model();
    TMembershipPicture pic;
    pic.Model = &m;
    MembershipRange(m, 0, pic.XFrom, pic.XTo);
    QCOMPARE(pic.XFrom, -1.2);
    QCOMPARE(pic.XTo, 3.2);
    const QImage plain = MembershipImage(pic, kSize);
    QCOMPARE(Count(plain, kCurrent), 0);
    QVERIFY(Coloured(plain) > 200);
    // The current term in red, with a marker on its peak.
    pic.Current = 0;
    const QImage current = MembershipImage(pic, kSize);
    const TPlotFrame f = MembershipFrame(current.rect(), pic);
    QVERIFY(Count(current, kCurrent) > 100);
    const QRect marker(f.Column(0) - kMembershipMarker, f.Line(1) - kMembershipMarker,
                       2 * kMembershipMarker + 1, 2 * kMembershipMarker + 1);
    QCOMPARE(Count(current, kCurrent, marker), marker.width() * marker.height());
    // The current term of another variable is not drawn here; the other
    // variable's terms are not either (C lies left of the range anyway).
    pic.Current = 2;
    QCOMPARE(Count(MembershipImage(pic, kSize), kCurrent), 0);
    // Debugger: the aggregate filled, the value as a line; black and white.
    const std::vector<TShapePoint> agg{{0, 0}, {1, 0.5}, {2, 0.5}, {3, 0}};
    pic.Aggregate = &agg;
    pic.ShowValue = true;
    QVERIFY(Count(MembershipImage(pic, kSize), kFill) > 300);
    pic.Monochrome = true;
    QCOMPARE(Coloured(MembershipImage(pic, kSize)), 0);
  }
};

QTEST_MAIN(MembershipPlotTest)
#include "membership_plot_test.moc"
