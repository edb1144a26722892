// Pictures of the tool buttons, drawn with simple strokes.
#pragma once
#include <QIcon>

namespace vemo {

// The icon of a tool button by its name ("OpenBtn", "htBtn", ...); a blank
// icon for a name without a picture.
QIcon ToolIcon(const QString& buttonName);

}  // namespace vemo
