// The contour options (--from A --to B) shared by the frequency-domain
// commands.
#pragma once
#include <memory>
#include <string>

#include "cli_common.h"

namespace vemo::cli {

// A point option "--from A": the point index, or -1 after a usage message.
int PointOption(const TArgs& a, const std::string& key, int fallback);
// The contour of the command: the points given, or like the window's lists
// the first and the second placed point. kExitOk or the exit status after
// the message was printed.
int ChooseContour(const TArgs& a, const TField& field, int& start, int& end);
// Loads the project (the one positional argument) and chooses its contour.
// nullptr with status set after the message was printed.
std::unique_ptr<TField> LoadContourProject(const TArgs& a, TFileProjects& projects, int& start, int& end,
                                           int& status);
// Loads the project and runs the W(s) command (with the zero-pole form when
// asked); prints the scheme error. nullptr with status set on failure. With
// keepBodies the macro bodies stay loaded on success (the caller releases
// them) for the analyses that step blocks of the contour.
std::unique_ptr<TField> RunContour(const TArgs& a, TFileProjects& projects, bool zeroPoles,
                                   int& start, int& end, int& status, bool keepBodies = false);
// The text on stdout, or with -o into the file (CR LF line ends).
int PrintOrWrite(const TArgs& a, const std::string& text);

}  // namespace vemo::cli
