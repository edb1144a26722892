#include "help/help_pages.h"

#include <QFile>
#include <iterator>

#include "blocks/registry.h"
#include "help/help_window.h"
#include "model/errors.h"
#include "shell/palette.h"

// The resources of a static library must be registered by hand.
static void RegisterHelpResources() { Q_INIT_RESOURCE(vemo_help); }

namespace vemo {

namespace {

// The forms with pages of their own, for the contents.
struct TFormPage {
  int Context;
  const char* Title;
};
constexpr TFormPage kForms[] = {
    {30, "Генерация программы"},
    {400, "ЛАЧХ и ФЧХ"},
    {401, "Годограф и критерий Попова"},
    {402, "Передаточная функция W(s)"},
    {403, "Упрощение и синтез структуры"},
    {500, "Нечеткий регулятор"},
    {501, "Нечеткий регулятор: страницы окна"},
    {700, "Размер поля (функции принадлежности)"},
    {701, "Новая функция принадлежности"},
    {702, "Размеры поля нелинейности"},
    {703, "Размеры поля генератора"},
    {42001, "Нейросеть: структура"},
    {42002, "Нейросеть: обучение"},
    {51000, "Настройка блока пользователя"},
};

// Contexts that share a page: the parts of the program generation dialog
// (contour lists, language, step, 80386 box, address, generate button).
int PageOf(int context) { return context >= 31 && context <= 36 ? 30 : context; }

QString ResourcePage(int context) {
  static const bool registered = (RegisterHelpResources(), true);
  (void)registered;
  QFile file(QStringLiteral(":/help/pages/%1.html").arg(context));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QString BlockTitle(uint16_t code) {
  if (code >= 0x4000 && code <= 0x4003) {
    static const char* const ports[] = {"Макровход сверху", "Макровход слева",
                                        "Макровход снизу", "Макровыход"};
    return QString::fromUtf8(ports[code - 0x4000]);
  }
  const TKindInfo* k = FindKind(code);
  QString name = k ? QString::fromUtf8(k->Name) : QString::number(code);
  // The four summers with subtraction share one name; the page tells which side.
  static const char* const negated[] = {"снизу", "сверху", "сверху и снизу", "слева и справа"};
  if (code >= 2 && code <= 5) name += QStringLiteral(" (вычитается %1)").arg(QString::fromUtf8(negated[code - 2]));
  return name;
}

}  // namespace

QString HelpPageHtml(int context) {
  if (context == kHelpContents) return HelpContentsHtml();
  context = PageOf(context);
  if ((context >= kErrorHelpBase && context <= kErrorHelpBase + kErrorMessageCount) ||
      context == kErrorHelpBase + kNoMemoryCode)
    return ErrorPageHtml(context - kErrorHelpBase);
  if (context >= kBlockHelpBase && context <= kBlockHelpBase + 0xFFFF) {
    const QString page = BlockPageHtml(static_cast<uint16_t>(context - kBlockHelpBase));
    if (!page.isEmpty()) return page;
  }
  return context >= 0 ? ResourcePage(context) : QString();
}

QString HelpContentsHtml() {
  QString html = QStringLiteral("<h2>Справка Vemo</h2><p>%1</p><h3>Блоки</h3>")
                     .arg(HelpLink(0, QStringLiteral("Главное окно и работа со схемой")));
  for (const TPalettePage& g : PalettePages()) {
    html += QStringLiteral("<p><b>%1</b></p><ul>").arg(QString::fromUtf8(g.Caption));
    for (uint16_t code : g.Codes)
      html += QStringLiteral("<li>%1</li>").arg(HelpLink(kBlockHelpBase + code, BlockTitle(code)));
    html += QStringLiteral("</ul>");
  }
  html += QStringLiteral("<h3>Окна и диалоги</h3><ul>");
  for (const TFormPage& f : kForms)
    html += QStringLiteral("<li>%1</li>").arg(HelpLink(f.Context, QString::fromUtf8(f.Title)));
  html += QStringLiteral("</ul><h3>Сообщения об ошибках</h3><ol>");
  for (int e = 1; e <= kErrorMessageCount; ++e)
    html += QStringLiteral("<li>%1</li>")
                .arg(HelpLink(kErrorHelpBase + e, QString::fromUtf8(ErrorMessage(e))));
  html += QStringLiteral("</ol>");
  return html;
}

}  // namespace vemo
