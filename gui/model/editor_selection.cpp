// The editor's selection commands: the scheme clipboard, moving a selection
// between grids, and pictures of the scheme for the system clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "model/clipboard.h"
#include "model/editor_messages.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "model/scheme_render.h"
#include "shell/main_form.h"
#include "shell/print_dlg.h"
#include "shell/settings.h"

namespace vemo {

namespace {
constexpr int kPicturePitch = 41;
}  // namespace

void TMDIChild::N1Click() {
  const TGridRect s = DrawGrid1->Selection();
  ClipCopy(Field(), s.Left, s.Top, s.Bottom, s.Right);
  UpdateMenus();
}

void TMDIChild::N4Click() {
  if (!CloseResultWindows(true)) return;
  const TGridRect s = DrawGrid1->Selection();
  PushStep(MakeBlockStep(Field(), s.Left, s.Top, s.Right, s.Bottom));
  DeleteRect(Field(), s.Left, s.Top, s.Bottom, s.Right);
  SetCurrentCell(s.Left, s.Top);
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::N3Click() {
  if (!CloseResultWindows(true)) return;
  N1Click();
  N4Click();
}

void TMDIChild::N7Click() {
  if (!CloseResultWindows(true)) return;
  const int col = CurrentCol(), row = CurrentRow();
  if (!ClipCanPaste(col, row)) {
    EditorMessage(QStringLiteral("Буфер пуст или вставка вне границы поля!"),
                  QStringLiteral("ошибка"));
    return;
  }
  const TSchemeClipboard& clip = SchemeClipboard();
  PushStep(MakeBlockStep(Field(), col, row, col + clip.ClipWidth, row + clip.ClipHeight));
  ClipPaste(Field(), col, row);
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

bool TMDIChild::DrawGrid1StartDrag() {
  if (!HasSelection() || !CloseResultWindows(true)) return false;
  N3Click();
  return true;
}

void TMDIChild::DrawGrid1DragDrop(TDrawGrid*, int col, int row) {
  SetCurrentCell(col, row);
  N7Click();
  DrawGrid1->SetDragAutomatic(false);
}

// ---- pictures --------------------------------------------------------------

QRect TMDIChild::RenderScheme(QPainter* painter, int mode, const QRect& target) {
  if (mode < 0 || mode > 5) return {};
  TCellRange range;
  switch (mode % 3) {
    case 0: {
      range.Left = DrawGrid1->LeftCol();
      range.Top = DrawGrid1->TopRow();
      range.Right = std::min(TDrawGrid::kColCount - 1, range.Left + DrawGrid1->VisibleColCount());
      range.Bottom = std::min(TDrawGrid::kRowCount - 1, range.Top + DrawGrid1->VisibleRowCount());
      break;
    }
    case 1: range = OccupiedRange(Field()); break;
    default: {
      const TGridRect s = DrawGrid1->Selection();
      range = {s.Left, s.Top, s.Right, s.Bottom};
      break;
    }
  }
  if (mode >= 3) {
    if (mode == 3)
      return QRect(0, 0, (range.Right - range.Left + 1) * kPicturePitch,
                   (range.Bottom - range.Top + 1) * kPicturePitch);
    return MeasureRange(range);
  }
  if (painter) DrawSchemeRange(*painter, Field(), range, target, DrawMonochrome != 0);
  return target;
}

void TMDIChild::CopyPicture(int mode) {
  TMainForm* mf = TMainForm::Instance();
  DrawMonochrome = mf && mf->Settings().BlackWhiteClipboard ? 1 : 0;
  QRect r = RenderScheme(nullptr, mode + 3, {});
  if (!r.isEmpty()) {
    r.moveTo(0, 0);
    QImage picture(r.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
      QPainter p(&picture);
      RenderScheme(&p, mode, r);
    }
    QGuiApplication::clipboard()->setImage(picture);
  }
  DrawMonochrome = 0;
}

void TMDIChild::N16Click() { CopyPicture(0); }
void TMDIChild::N17Click() { CopyPicture(1); }
void TMDIChild::N18Click() { CopyPicture(2); }

void TMDIChild::N15Click() {
  TPrintRequest request;
  request.PrintCallback = [this](QPainter* canvas, int mode, const QRect& rect) {
    return RenderScheme(canvas, mode, rect);
  };
  request.PrintAllAvailable = 1;
  request.PrintSelectedAvailable = HasSelection() ? 1 : 0;
  request.PrintAnnotationAvailable = 0;
  request.PrintMonoAvailable = 1;
  request.PrintScalable = 1;
  request.PrintTitle = Caption();
  if (Dialogs.Print) Dialogs.Print(this, request);
}

}  // namespace vemo
