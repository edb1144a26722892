// The two point lists "Начало:" and "Конец:" by which every contour window
// and dialog chooses its contour: "Точка " + letter for every placed point
// A..L; the point of an item is the letter at the end of its text.
#pragma once
#include <QString>

class QGroupBox;
class QListWidget;
class QWidget;

namespace vemo {

struct TField;

inline constexpr const char* kSamePointsText = "Начало и конец контура не должны совпадать.";

struct TContourLists {
  QListWidget* Start = nullptr;  // "Начало:"
  QListWidget* End = nullptr;    // "Конец:"

  // Fills both lists from the placed points of the field. The start list
  // selects its first item, the end list its second (its first when there
  // is only one point).
  void Fill(const TField& field);
  // Selects the items of rows (remembered positions; out of range: the
  // defaults above), or of points.
  void SelectRows(int start, int end);
  void SelectPoints(int start, int end);
  int StartRow() const;
  int EndRow() const;
  // The points of the selected items (0 = A), -1 without a selection.
  int StartPoint() const;
  int EndPoint() const;
  bool BothSelected() const;
  // Reopened from a window: the contour stays as it is.
  void Lock();
  // OK's check: equal points show "Начало и конец контура не должны
  // совпадать." and focus the end list; false then.
  bool CheckDistinct() const;
};

// The lists in a group "Контур" (title given; empty: no frame title) with
// their labels, side by side.
QGroupBox* MakeContourGroup(QWidget* parent, TContourLists& lists,
                            const QString& title = QStringLiteral("Контур"));

// The point of an item text ("Точка A" -> 0), -1 when it ends in no letter.
int PointOfItemText(const QString& text);

}  // namespace vemo
