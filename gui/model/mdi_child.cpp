#include "model/mdi_child.h"

#include <QCloseEvent>

#include "model/field.h"

namespace vemo {

TMDIChild::TMDIChild(QWidget* parent) : QWidget(parent), field_(CreateField()) {
  setAttribute(Qt::WA_DeleteOnClose);
}

TMDIChild::~TMDIChild() { Clear(*field_); }

bool TMDIChild::CloseResultWindows(bool) { return true; }
void TMDIChild::PushStep(std::unique_ptr<THistoryStep> step) { History.Push(std::move(step)); }
void TMDIChild::UndoStep() {}
void TMDIChild::RedoStep() {}
bool TMDIChild::HasSelection() const { return false; }
void TMDIChild::SelectAll() {}
void TMDIChild::N1Click() {}
void TMDIChild::N3Click() {}
void TMDIChild::N4Click() {}
void TMDIChild::N7Click() {}
void TMDIChild::SetCurrentCell(int, int) {}
int TMDIChild::CurrentCol() const { return 0; }
int TMDIChild::CurrentRow() const { return 0; }
QRect TMDIChild::RenderScheme(QPainter*, int, const QRect&) { return {}; }
void TMDIChild::RefreshGrid() { update(); }
void TMDIChild::closeEvent(QCloseEvent* event) { event->accept(); }

}  // namespace vemo
