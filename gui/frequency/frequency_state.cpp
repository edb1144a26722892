#include "frequency/frequency_state.h"

#include <QApplication>
#include <QFileDialog>

#include "shell/file_replace.h"
#include "shell/main_form.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

TFrequencyChoices& FrequencyChoices() {
  static TFrequencyChoices choices;
  return choices;
}

bool SaveCurveText(const QString& fileName, const std::string& text) {
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 40);
  for (char ch : text) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  if (ReplaceFileContents(fileName.toStdString(), crlf.data(), crlf.size())) return true;
  ShowMessage(kWriteError);
  return false;
}

QString AskCurveFile(QWidget* parent, const QString& title) {
  // The main window's save dialog (which a test answers in its place).
  if (TMainForm* main = TMainForm::Instance(); main && main->FileChooser) {
    TFileRequest request;
    request.Save = true;
    request.Title = title;
    return main->FileChooser(request);
  }
  return QFileDialog::getSaveFileName(parent, title, QString(),
                                      QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
}

}  // namespace vemo
