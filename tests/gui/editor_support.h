// Drives structure editor windows with real mouse and key events on their
// grids, with the program's dialogs answered from a script.
#pragma once
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "model/clipboard.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "model/project_file.h"
#include "shell/program.h"

namespace vemo::testing {

// A fresh program state with scripted dialogs; editors made by New() are
// shown and deleted with the rig.
class TEditorRig {
 public:
  TScriptedDialogs Dialogs;

  TEditorRig() {
    ResetProgramState();
    Prog.Dialogs = &Dialogs;
    ClipClear();
    SelectionExists = 0;
  }
  ~TEditorRig() {
    for (QPointer<TMDIChild>& e : editors_) {
      if (!e) continue;
      e->Field().Modified = 0;
      delete e.data();
    }
    Prog.Dialogs = nullptr;
    ResetProgramState();
  }

  TMDIChild* New() {
    auto* e = new TMDIChild;
    e->SetCaption(QStringLiteral("<без имени %1>").arg(editors_.size() + 1));
    e->resize(640, 420);
    e->show();
    editors_.emplace_back(e);
    return e;
  }

 private:
  std::vector<QPointer<TMDIChild>> editors_;
};

inline QWidget* Viewport(TMDIChild* e) { return e->DrawGrid1->viewport(); }
inline QPoint At(TMDIChild* e, int col, int row) { return e->DrawGrid1->CellCenter(col, row); }

// Press, release, double click and release of the left button, as a person
// double-clicks.
inline void DoubleClick(TMDIChild* e, int col, int row) {
  const QPoint p = At(e, col, row);
  QTest::mousePress(Viewport(e), Qt::LeftButton, {}, p);
  QTest::mouseRelease(Viewport(e), Qt::LeftButton, {}, p);
  QTest::mouseDClick(Viewport(e), Qt::LeftButton, {}, p);
  QTest::mouseRelease(Viewport(e), Qt::LeftButton, {}, p);
}

inline void Place(TMDIChild* e, uint16_t code, int col, int row) {
  e->DefaultPlaceType = code;
  DoubleClick(e, col, row);
}

// A drag with a button from the centre of one cell to the centre of
// another, passing through a few points on the way.
inline void Drag(TMDIChild* e, Qt::MouseButton button, int c1, int r1, int c2, int r2) {
  const QPoint from = At(e, c1, r1), to = At(e, c2, r2);
  QTest::mousePress(Viewport(e), button, {}, from);
  for (int i = 1; i <= 4; ++i) QTest::mouseMove(Viewport(e), from + (to - from) * i / 4);
  QTest::mouseRelease(Viewport(e), button, {}, to);
}

inline void LayLine(TMDIChild* e, int c1, int r1, int c2, int r2) {
  Drag(e, Qt::RightButton, c1, r1, c2, r2);
}

// A right click, optionally moving the mouse by a few pixels between the
// press and the release.
inline void RightClick(TMDIChild* e, int col, int row, QPoint wobble = {}) {
  const QPoint p = At(e, col, row);
  QTest::mousePress(Viewport(e), Qt::RightButton, {}, p);
  if (!wobble.isNull()) QTest::mouseMove(Viewport(e), p + wobble);
  QTest::mouseRelease(Viewport(e), Qt::RightButton, {}, p + wobble);
}

inline QAction* MenuItem(QMenu* menu, const char* name) {
  return menu->findChild<QAction*>(QString::fromLatin1(name));
}

inline void HideMenus(TMDIChild* e) {
  e->PopupMenu1->hide();
  e->PopupMenu2->hide();
  e->PopupMenu3->hide();
}

inline std::vector<uint8_t> Image(TMDIChild* e) { return FieldImage(e->Field(), 10.0); }
// The image with the cells of un-placed view points cleared: where a point
// stood before it was taken off does not matter to the scheme.
inline std::vector<uint8_t> SchemeImage(TMDIChild* e) {
  std::unique_ptr<TField> copy = Clone(e->Field());
  for (TViewPoint& p : copy->Points)
    if (!p.Placed) p.Col = p.Row = 0;
  return FieldImage(*copy, 10.0);
}

// "" when equal, else where two file images first differ.
inline QString ImageDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a == b) return {};
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return QStringLiteral("sizes %1/%2, first difference at byte %3").arg(a.size()).arg(b.size()).arg(i);
}
#define QCOMPARE_IMAGES(a, b)                            \
  do {                                                   \
    const QString diff_ = ImageDiff((a), (b));           \
    QVERIFY2(diff_.isEmpty(), qPrintable(diff_));        \
  } while (0)

inline std::vector<uint8_t> ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = f.readAll();
  return {data.begin(), data.end()};
}

inline uint16_t CodeAt(TMDIChild* e, int col, int row) {
  TCellObject* obj = e->Field().Cell(col, row);
  return obj ? obj->TypeCode : kEmptyCellCode;
}

}  // namespace vemo::testing
