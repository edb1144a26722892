// The pages of the help window. Block and error pages are built from the
// block registry and the error table with the descriptions kept here; the
// pages of the main window and the forms are resources shipped with the
// program (pages/<context>.html). Links between pages read "ctx:<number>".
#pragma once
#include <QString>
#include <cstdint>
#include <vector>

namespace vemo {

// The page of a context, or an empty text when it has none.
QString HelpPageHtml(int context);
// The contents page: the main window, the blocks by palette page, the
// errors and the forms.
QString HelpContentsHtml();

// Built pages (empty when the code has no description).
QString BlockPageHtml(uint16_t typeCode);
QString ErrorPageHtml(int errorCode);
// Codes that have a block page, in palette order first.
std::vector<uint16_t> BlockHelpCodes();

// A link to a context, with the text shown.
QString HelpLink(int context, const QString& text);

}  // namespace vemo
