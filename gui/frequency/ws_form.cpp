#include "frequency/ws_form.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "frequency/frequency_commands.h"
#include "frequency/frequency_state.h"
#include "frequency/transfer_picture.h"
#include "help/help_window.h"
#include "model/field.h"
#include "shell/print_dlg.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"

namespace vemo {

namespace {

// A picture of a form that selects its radio button when clicked.
class TFormSample : public QLabel {
 public:
  TFormSample(const QString& sample, QAbstractButton* button, QWidget* parent)
      : QLabel(parent), button_(button) {
    setPixmap(QPixmap::fromImage(TransferPicture(sample)));
    setFrameShape(QFrame::StyledPanel);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { button_->click(); }

 private:
  QAbstractButton* button_;
};

}  // namespace

TWSForm::TWSForm(TField& field, QWidget* parent)
    : TResultWindow(TResultKind::TransferFunction, &field, parent) {
  setWindowTitle(QStringLiteral("Передаточная функция W(S)"));
  auto* top = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  head->addWidget(MakeContourGroup(this, Lists));
  Lists.Fill(field);

  auto* kinds = new QGroupBox(QStringLiteral("Вывести в виде:"), this);
  auto* kindLayout = new QGridLayout(kinds);
  KindGroup = new QButtonGroup(this);
  const std::pair<const char*, const char*> samples[] = {
      {"полиномов", "W(s)=(b1*s+b0)/(a2*s^2+a1*s+a0)"},
      {"постоянных времени", "W(s)=K*(T1*s+1)/((T2*s+1)*(T3*s+1))"}};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(samples[i].first), kinds);
    KindGroup->addButton(b, i);
    kindLayout->addWidget(b, i, 0);
    kindLayout->addWidget(new TFormSample(QString::fromLatin1(samples[i].second), b, kinds), i, 1);
  }
  const int kind = PlotSettings().WsType == Polynomial ? Polynomial : Factored;
  KindGroup->button(kind)->setChecked(true);
  head->addWidget(kinds, 1);
  top->addLayout(head);

  BitBtn2 = new QPushButton(QStringLiteral("Вывести"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setDefault(true);
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setBackgroundRole(QPalette::Base);
  Picture = new QLabel;
  Picture->setObjectName(QStringLiteral("Picture"));
  Picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ScrollBox1->setWidget(Picture);
  ScrollBox1->setWidgetResizable(true);
  ScrollBox1->setMinimumHeight(90);

  CopyTextBtn = new QPushButton(QStringLiteral("Копировать как текст"), this);
  CopyTextBtn->setObjectName(QStringLiteral("CopyTextBtn"));
  CopyPictureBtn = new QPushButton(QStringLiteral("Копировать как картинку"), this);
  CopyPictureBtn->setObjectName(QStringLiteral("CopyPictureBtn"));
  PrintBtn = new QPushButton(QStringLiteral("Печать..."), this);
  PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
  for (QPushButton* b : {CopyTextBtn, CopyPictureBtn, PrintBtn}) b->setEnabled(false);
  connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
  connect(CopyTextBtn, &QPushButton::clicked, this, [this] { CopyAsText(); });
  connect(CopyPictureBtn, &QPushButton::clicked, this, [this] { CopyAsPicture(); });

  auto* run = new QHBoxLayout;
  run->addWidget(BitBtn2);
  run->addStretch();
  top->addLayout(run);
  top->addWidget(ScrollBox1, 1);
  auto* copies = new QHBoxLayout;
  copies->addWidget(CopyTextBtn);
  copies->addWidget(CopyPictureBtn);
  copies->addWidget(PrintBtn);
  copies->addStretch();
  top->addLayout(copies);
  InstallHelpKey(this, kTransferHelpContext);
  resize(620, 380);
}

bool TWSForm::BitBtn2Click() {
  if (!Lists.BothSelected() || !Lists.CheckDistinct()) return false;
  const bool factored = KindGroup->checkedId() == Factored;
  PlotSettings().WsType = factored ? Factored : Polynomial;
  std::string text;
  if (!ComputeTransferText(*AnalysedField, Lists.StartPoint(), Lists.EndPoint(), factored, text))
    return false;
  text_ = QString::fromStdString(text);
  image_ = TransferPicture(text_);
  Picture->setPixmap(QPixmap::fromImage(image_));
  CopyTextBtn->setEnabled(true);
  CopyPictureBtn->setEnabled(true);
  PrintBtn->setEnabled(true);
  return true;
}

void TWSForm::PrintBtnClick() {
  if (text_.isEmpty()) return;
  TPlotPrint plot;
  plot.Title = QStringLiteral("Передаточная функция");
  plot.Size = TransferPictureSize(text_);
  plot.WholeAvailable = false;
  plot.MonoAvailable = false;
  // The typeset text scaled onto the placed rectangle.
  plot.Draw = [text = text_, size = plot.Size](QPainter& p, const QRect& r, bool, bool) {
    p.translate(r.topLeft());
    p.scale(double(r.width()) / size.width(), double(r.height()) / size.height());
    DrawTransferText(p, QPoint(0, 0), text);
  };
  ShowPrintDialog(PlotPrintRequest(plot), this);
}

void TWSForm::CopyAsText() {
  if (!text_.isEmpty()) QApplication::clipboard()->setText(text_);
}

void TWSForm::CopyAsPicture() {
  if (!image_.isNull()) QApplication::clipboard()->setImage(image_);
}

}  // namespace vemo
