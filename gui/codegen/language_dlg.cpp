#include "codegen/language_dlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "help/help_window.h"
#include "model/field.h"
#include "shell/numtext.h"

namespace vemo {

std::function<QString(const TSaveRequest&)> TLanguageDlg::SaveChooser;

namespace {

const char* kContextProperty = "vemoHelpContext";

void SetHelpContext(QWidget* w, int context) { w->setProperty(kContextProperty, context); }

// The proposed file name: the last one chosen (at first "Default"), with
// the target's extension.
QString& LastFileName() {
  static QString name = QStringLiteral("Default");
  return name;
}

QListWidget* MultiList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  return list;
}

}  // namespace

TLanguageDlg::TLanguageDlg(TField& field, QWidget* parent) : QDialog(parent), field_(field) {
  setWindowTitle(QStringLiteral("Генерация программы"));
  SetHelpContext(this, kLanguageDlgHelp);
  auto* top = new QVBoxLayout(this);
  auto* columns = new QHBoxLayout;
  top->addLayout(columns);

  // The left column keeps its width while its settings come and go.
  auto* leftBox = new QWidget(this);
  leftBox->setFixedWidth(230);
  auto* left = new QVBoxLayout(leftBox);
  left->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(leftBox);
  left->addWidget(new QLabel(QStringLiteral("Язык:"), this));
  ListBox1 = new QListWidget(this);
  for (int i = 0; i < kTargetCount; ++i)
    ListBox1->addItem(QString::fromUtf8(TargetInfo(static_cast<TTarget>(i)).Item));
  SetHelpContext(ListBox1, kLanguageListHelp);
  left->addWidget(ListBox1);
  left->addWidget(new QLabel(QStringLiteral("Шаг времени (сек):"), this));
  Edit1 = new QLineEdit(QString::fromStdString(FormatNumber(CodegenSettings().Step)), this);
  SetHelpContext(Edit1, kStepHelp);
  left->addWidget(Edit1);
  CheckBox1 = new QCheckBox(QStringLiteral("80386 и выше"), this);
  SetHelpContext(CheckBox1, k386Help);
  left->addWidget(CheckBox1);
  Label2 = new QLabel(QStringLiteral("Адрес в IRAM блока переменных:"), this);
  left->addWidget(Label2);
  MaskEdit1 = new QLineEdit(this);
  SetHelpContext(MaskEdit1, kAddressHelp);
  left->addWidget(MaskEdit1);
  left->addStretch(1);

  auto* contour = new QGroupBox(QStringLiteral("Программируемый контур"), this);
  columns->addWidget(contour);
  auto* lists = new QHBoxLayout(contour);
  auto* ins = new QVBoxLayout;
  auto* outs = new QVBoxLayout;
  lists->addLayout(ins);
  lists->addLayout(outs);
  ins->addWidget(new QLabel(QStringLiteral("Входы:"), contour));
  ListBox2 = MultiList(contour);
  ins->addWidget(ListBox2);
  outs->addWidget(new QLabel(QStringLiteral("Выходы:"), contour));
  ListBox3 = MultiList(contour);
  outs->addWidget(ListBox3);
  SetHelpContext(ListBox2, kContourListsHelp);
  SetHelpContext(ListBox3, kContourListsHelp);
  for (int k = 0; k < kPointCount; ++k) {
    if (!field_.Points[k].Placed) continue;
    points_.push_back(k);
    const QString item = QStringLiteral("точка ") + QChar(PointLetter(k));
    ListBox2->addItem(item);
    ListBox3->addItem(item);
  }

  auto* row = new QHBoxLayout;
  top->addLayout(row);
  row->addStretch(1);
  OKBtn = new QPushButton(QStringLiteral("Генерация"), this);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
  HelpBtn = new QPushButton(QStringLiteral("Помощь"), this);
  row->addWidget(OKBtn);
  row->addWidget(CancelBtn);
  row->addWidget(HelpBtn);
  SetHelpContext(OKBtn, kGenerateHelp);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpBtn, &QPushButton::clicked, this, [this] { ShowHelpContext(kLanguageDlgHelp, this); });
  // F1 opens the help of the control in focus.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WidgetWithChildrenShortcut);
  connect(f1, &QShortcut::activated, this, [this] { ShowHelpContext(HelpContextOfFocus(), this); });

  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });

  ListBox1->setCurrentRow(0);
  if (ListBox2->count() > 0) ListBox2->item(0)->setSelected(true);
  if (ListBox3->count() > 0) ListBox3->item(ListBox3->count() >= 2 ? 1 : 0)->setSelected(true);
  ListBox1Click();
}

TTarget TLanguageDlg::Target() const {
  const int row = ListBox1->currentRow();
  return static_cast<TTarget>(row >= 0 && row < kTargetCount ? row : 0);
}

void TLanguageDlg::ListBox1Click() {
  Label2->hide();
  MaskEdit1->hide();
  CheckBox1->hide();
  const TTarget t = Target();
  if (t == TTarget::X86) CheckBox1->show();
  if (HasAddress(t)) {
    MaskEdit1->setMaxLength(t == TTarget::Dec ? 7 : 5);
    MaskEdit1->setText(
        QString::fromStdString(AddressText(t, CodegenSettings().Address[static_cast<int>(t)])));
    Label2->show();
    MaskEdit1->show();
  }
}

int TLanguageDlg::HelpContextOfFocus() const {
  for (const QWidget* w = focusWidget(); w; w = w->parentWidget()) {
    const QVariant v = w->property(kContextProperty);
    if (v.isValid()) return v.toInt();
    if (w == this) break;
  }
  return kLanguageDlgHelp;
}

QString TLanguageDlg::ChooseFile(TTarget t) {
  const QString ext = QString::fromUtf8(TargetInfo(t).Extension);
  TSaveRequest r;
  r.Title = QStringLiteral("Сохранить программу как...");
  // The filter "Файлы (*.ext)|*.ext|Все файлы (*.*)|*.*" in Qt's form.
  r.Filter = QStringLiteral("Файлы (*.%1);;Все файлы (*.*)").arg(ext);
  r.FileName = QString::fromStdString(WithExtension(LastFileName().toStdString(), t));
  r.Suffix = ext;
  if (SaveChooser) return SaveChooser(r);
  QFileDialog dialog(this, r.Title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(r.Filter);
  dialog.setDefaultSuffix(r.Suffix);
  dialog.selectFile(r.FileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

void TLanguageDlg::OKBtnClick() {
  TGenerationChoice c;
  c.Target = Target();
  for (int i = 0; i < ListBox2->count(); ++i)
    if (ListBox2->item(i)->isSelected()) c.Inputs.push_back(points_[i]);
  for (int i = 0; i < ListBox3->count(); ++i)
    if (ListBox3->item(i)->isSelected()) c.Outputs.push_back(points_[i]);
  c.StepText = Edit1->text().toStdString();
  c.AddressText = MaskEdit1->text().toStdString();
  c.Use386 = CheckBox1->isChecked();
  double step = 0.0;
  TWriterOptions options;
  TChoiceFocus focus = TChoiceFocus::None;
  if (!CheckGenerationChoice(c, step, options, focus)) {
    if (focus == TChoiceFocus::Step) Edit1->setFocus();
    if (focus == TChoiceFocus::Address) MaskEdit1->setFocus();
    return;
  }
  const QString file = ChooseFile(c.Target);
  if (file.isEmpty()) return;
  LastFileName() = file;
  if (GenerateFile(field_, c, step, options, file.toStdString()) == TGenerationOutcome::Written) accept();
}

void ShowLanguageDlg(TField& field, QWidget* parent) {
  TLanguageDlg dlg(field, parent);
  dlg.exec();
}

}  // namespace vemo
