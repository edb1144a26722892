// TWSForm ("Передаточная функция W(S)"): W(s) of a contour chosen in the
// window, as text in the polynomial or the factored form, with copies as
// text and as picture.
#pragma once
#include <QImage>
#include <QString>

#include "frequency/contour_lists.h"
#include "shell/result_window.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QScrollArea;

namespace vemo {

class TWSForm : public TResultWindow {
  Q_OBJECT
 public:
  enum TKind { Polynomial = 0, Factored = 1 };  // the "W(S)"/"Type" setting

  explicit TWSForm(TField& field, QWidget* parent = nullptr);

  TContourLists Lists;
  QButtonGroup* KindGroup = nullptr;  // "Вывести в виде:"
  QPushButton* BitBtn2 = nullptr;     // "Вывести"
  QScrollArea* ScrollBox1 = nullptr;
  QLabel* Picture = nullptr;  // the typeset W(s) inside the scroll box
  QPushButton* CopyTextBtn = nullptr;     // "Копировать как текст"
  QPushButton* CopyPictureBtn = nullptr;  // "Копировать как картинку"
  QPushButton* PrintBtn = nullptr;        // "Печать..."

  // "Вывести": W(s) of the chosen contour in the chosen form; the errors of
  // the command end in the error box. True when the text is shown.
  bool BitBtn2Click();
  // The W(s) text shown ("" before the first success).
  QString Text() const { return text_; }
  QImage TextPicture() const { return image_; }
  void CopyAsText();
  void CopyAsPicture();
  // "Печать...": the print dialog on the typeset W(s).
  void PrintBtnClick();

 private:
  QString text_;
  QImage image_;
};

}  // namespace vemo
