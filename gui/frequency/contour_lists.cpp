#include "frequency/contour_lists.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>

#include "model/field.h"
#include "shell/program.h"

namespace vemo {

namespace {

int SelectedPoint(const QListWidget* list) {
  const QListWidgetItem* item = list ? list->currentItem() : nullptr;
  return item && item->isSelected() ? PointOfItemText(item->text()) : -1;
}

void SelectPointIn(QListWidget* list, int point) {
  for (int i = 0; i < list->count(); ++i)
    if (PointOfItemText(list->item(i)->text()) == point) list->setCurrentRow(i);
}

}  // namespace

int PointOfItemText(const QString& text) {
  if (text.isEmpty()) return -1;
  const QChar c = text.back();
  return c >= QLatin1Char('A') && c < QLatin1Char(char('A' + kPointCount)) ? c.unicode() - 'A' : -1;
}

void TContourLists::Fill(const TField& field) {
  for (QListWidget* list : {Start, End}) {
    list->clear();
    for (int k = 0; k < kPointCount; ++k)
      if (field.Points[k].Placed) list->addItem(QStringLiteral("Точка ") + QChar(PointLetter(k)));
  }
  SelectRows(0, 1);
}

void TContourLists::SelectRows(int start, int end) {
  const int n = Start->count();
  if (n == 0) return;
  Start->setCurrentRow(start >= 0 && start < n ? start : 0);
  End->setCurrentRow(end >= 0 && end < n ? end : (n > 1 ? 1 : 0));
}

void TContourLists::SelectPoints(int start, int end) {
  SelectPointIn(Start, start);
  SelectPointIn(End, end);
}

int TContourLists::StartRow() const { return Start->currentRow(); }
int TContourLists::EndRow() const { return End->currentRow(); }
int TContourLists::StartPoint() const { return SelectedPoint(Start); }
int TContourLists::EndPoint() const { return SelectedPoint(End); }
bool TContourLists::BothSelected() const { return StartPoint() >= 0 && EndPoint() >= 0; }

void TContourLists::Lock() {
  Start->setEnabled(false);
  End->setEnabled(false);
}

bool TContourLists::CheckDistinct() const {
  if (StartPoint() != EndPoint()) return true;
  ShowMessage(kSamePointsText);
  End->setFocus();
  return false;
}

QGroupBox* MakeContourGroup(QWidget* parent, TContourLists& lists, const QString& title) {
  auto* group = new QGroupBox(title, parent);
  lists.Start = new QListWidget(group);
  lists.Start->setObjectName(QStringLiteral("StartList"));
  lists.End = new QListWidget(group);
  lists.End->setObjectName(QStringLiteral("EndList"));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(QStringLiteral("Начало:"), group), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Конец:"), group), 0, 1);
  for (QListWidget* list : {lists.Start, lists.End}) {
    list->setMaximumHeight(96);
    list->setMinimumWidth(80);
  }
  grid->addWidget(lists.Start, 1, 0);
  grid->addWidget(lists.End, 1, 1);
  return group;
}

}  // namespace vemo
