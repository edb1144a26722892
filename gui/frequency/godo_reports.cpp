#include "frequency/godo_reports.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemo {

namespace {

void AddOk(QDialog* dialog, QBoxLayout* layout) {
  auto* box = new QDialogButtonBox(dialog);
  QPushButton* ok = box->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("OkBtn"));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  layout->addWidget(box);
}

QLabel* BoldLabel(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

}  // namespace

TForm7::TForm7(const QString& report, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("О замкнутой системе"));
  QString rest = report;
  while (rest.endsWith(QLatin1Char('\n'))) rest.chop(1);
  const qsizetype nl = rest.indexOf(QLatin1Char('\n'));
  const QString first = nl < 0 ? rest : rest.left(nl);
  rest = nl < 0 ? QString() : rest.mid(nl + 1);
  auto* top = new QVBoxLayout(this);
  Verdict = BoldLabel(first, this);
  Verdict->setObjectName(QStringLiteral("Verdict"));
  Details = new QLabel(rest, this);
  Details->setObjectName(QStringLiteral("Details"));
  Details->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(Verdict);
  top->addWidget(Details);
  AddOk(this, top);
}

TPopovWnd::TPopovWnd(const TPopovVerdict& verdict, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Критерий Попова"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const std::pair<const char*, std::string> rows[] = {
      {kPopovNonlinearityLabel, PopovNonlinearityText(verdict)},
      {kPopovLineLabel, PopovLineText(verdict)},
      {kPopovConclusionLabel, PopovConclusionText(verdict)}};
  QLabel** values[] = {&NonlinearityValue, &LineValue, &ConclusionValue};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(new QLabel(QString::fromUtf8(rows[i].first), this), i, 0);
    *values[i] = BoldLabel(QString::fromStdString(rows[i].second), this);
    grid->addWidget(*values[i], i, 1);
  }
  top->addLayout(grid);
  AddOk(this, top);
}

void ShowClosedLoopReport(const QString& report, QWidget* parent) {
  TForm7 dlg(report, parent);
  dlg.exec();
}

void ShowPopovReport(const TPopovVerdict& verdict, QWidget* parent) {
  TPopovWnd dlg(verdict, parent);
  dlg.exec();
}

}  // namespace vemo
