// The about box: the program's name and version.
#pragma once

class QDialog;
class QWidget;

namespace vemo {

inline constexpr const char* kProgramTitle = "Vemo 3.1";
inline constexpr const char* kProgramVersion = "3.1";

// Builds the box (tests look at it without running it).
QDialog* MakeAboutBox(QWidget* parent);
void ShowAboutBox(QWidget* parent);

}  // namespace vemo
