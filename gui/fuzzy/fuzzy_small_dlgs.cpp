#include "fuzzy/fuzzy_small_dlgs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "blocks/dialog_support.h"
#include "model/editor_messages.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The named variables into a combo box (item data: the index).
void FillVariables(QComboBox* box, const TFuzzyModel& m, std::vector<size_t>* indices = nullptr) {
  for (size_t v = 0; v < m.Variables.size(); ++v) {
    if (m.Variables[v].Name.empty()) continue;
    box->addItem(Text(m.Variables[v].Name), static_cast<int>(v));
    if (indices) indices->push_back(v);
  }
}

}  // namespace

bool ValidFuzzyName(const QString& name) {
  for (QChar c : name) {
    const char16_t u = c.unicode();
    const bool latin = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    const bool cyrillic = u >= 0x0410 && u <= 0x044F;  // codes 192..255 of Windows-1251
    if (!(latin || cyrillic || (u >= '0' && u <= '9') || u == '_')) return false;
  }
  return true;
}

// ---- TFuncNameDlg

TFuncNameDlg::TFuncNameDlg(const TFuzzyModel& m, int renaming, QWidget* parent)
    : QDialog(parent), model_(m), renaming_(renaming) {
  setWindowTitle(renaming >= 0 ? QStringLiteral("Переименовать") : QStringLiteral("Новая функция"));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(static_cast<int>(kFuzzyNameChars));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  FillVariables(ComboBox1, m);
  if (renaming >= 0 && static_cast<size_t>(renaming) < m.Terms.size()) {
    Edit1->setText(Text(m.Terms[static_cast<size_t>(renaming)].Name));
    SetVar(static_cast<int>(m.Terms[static_cast<size_t>(renaming)].VarIndex));
  }
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Имя функции:"), Edit1);
  form->addRow(QStringLiteral("По переменной:"), ComboBox1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  OkBtn = AddDialogButtons(layout, this, kFuncNameHelp);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
}

QString TFuncNameDlg::Name() const { return Edit1->text().left(static_cast<int>(kFuzzyNameChars)); }

int TFuncNameDlg::VarIndex() const {
  return ComboBox1->currentIndex() < 0 ? -1 : ComboBox1->currentData().toInt();
}

void TFuncNameDlg::SetVar(int varIndex) {
  const int i = ComboBox1->findData(varIndex);
  if (i >= 0) ComboBox1->setCurrentIndex(i);
}

void TFuncNameDlg::OkBtnClick() {
  const QString name = Name();
  // A name the rules could not name (empty, blanks, brackets) is refused
  // like a variable's.
  if (name.isEmpty() || !ValidFuzzyName(name) || VarIndex() < 0) {
    if (!name.isEmpty() && !ValidFuzzyName(name))
      EditorMessage(QString::fromUtf8(kBadFuzzyName), QStringLiteral("Ошибка"));
    Edit1->setFocus();
    return;
  }
  const std::string key = UpperName(name.toStdString());
  for (size_t i = 0; i < model_.Terms.size(); ++i) {
    if (static_cast<int>(i) == renaming_ || UpperName(model_.Terms[i].Name) != key) continue;
    EditorMessage(QStringLiteral("Функция прмнадлежности с именем \"") + name +
                      QStringLiteral("\" уже существует! Назовите функцию как-нибудь иначе."),
                  QStringLiteral("Ошибка"));
    Edit1->setFocus();
    return;
  }
  accept();
}

// ---- TFieldSizeDlg

TFieldSizeDlg::TFieldSizeDlg(const TFuzzyModel& m, TVarRanges& ranges, int var, QWidget* parent)
    : QDialog(parent), ranges_(ranges) {
  setWindowTitle(QStringLiteral("Размер поля"));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  FillVariables(ComboBox1, m, &vars_);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit3 = new QLineEdit(this);
  Edit3->setObjectName(QStringLiteral("Edit3"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("По переменной:"), ComboBox1);
  form->addRow(QStringLiteral("min:"), Edit1);
  form->addRow(QStringLiteral("max:"), Edit3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  OkBtn = AddDialogButtons(layout, this, kFieldSizeHelp);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  const int i = ComboBox1->findData(var);
  if (i >= 0) ComboBox1->setCurrentIndex(i);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  ComboBox1Change();
}

void TFieldSizeDlg::ComboBox1Change() {
  const int v = ComboBox1->currentIndex() < 0 ? -1 : ComboBox1->currentData().toInt();
  if (v < 0 || static_cast<size_t>(v) >= ranges_.size()) return;
  Edit1->setText(Text(FormatNumber(ranges_[static_cast<size_t>(v)].first)));
  Edit3->setText(Text(FormatNumber(ranges_[static_cast<size_t>(v)].second)));
}

void TFieldSizeDlg::OkBtnClick() {
  const int v = ComboBox1->currentIndex() < 0 ? -1 : ComboBox1->currentData().toInt();
  if (v < 0 || static_cast<size_t>(v) >= ranges_.size()) return;
  double lo = 0, hi = 0;
  for (auto [edit, value] : {std::pair{Edit1, &lo}, std::pair{Edit3, &hi}}) {
    if (!ParseNumber(edit->text().toStdString(), *value)) {
      EditorMessage(QString::fromUtf8(kBadNumberFormat), QStringLiteral("Ошибка"));
      edit->setFocus();
      return;
    }
  }
  if (!(lo < hi) || !std::isfinite(hi - lo)) {
    EditorMessage(QString::fromUtf8(kBadParameter), QStringLiteral("Ошибка"));
    Edit3->setFocus();
    return;
  }
  ranges_[static_cast<size_t>(v)] = {lo, hi};
  accept();
}

// ---- TNoErrorDlg

TNoErrorDlg::TNoErrorDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Проверено"));
  auto* label = new QLabel(QStringLiteral("Ошибок нет!"), this);
  label->setObjectName(QStringLiteral("Label1"));
  auto* ok = new QPushButton(QStringLiteral("Ok"), this);
  ok->setObjectName(QStringLiteral("OkBtn"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label, 0, Qt::AlignCenter);
  layout->addWidget(ok, 0, Qt::AlignCenter);
}

}  // namespace vemo
