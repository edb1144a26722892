// Source skeletons of a new plug-in library, written from the user block's
// setup dialog: a Delphi library project, or a C source with its
// module-definition file. Every entry point of the protocol is there with
// its description; only the library name changes.
#pragma once
#include <string>
#include <vector>

namespace vemo {

// The library name of a chosen file: no directory, nothing from the first ".".
std::string SkeletonLibraryName(const std::string& path);
// The module-definition file beside a C file: its name cut before the
// first "." of the file name, with ".def".
std::string SkeletonDefPath(const std::string& cPath);

std::vector<std::string> DelphiSkeleton(const std::string& name);
std::vector<std::string> CSkeleton(const std::string& name);
// cFileName: the chosen C file's name without directory.
std::vector<std::string> DefSkeleton(const std::string& cFileName, const std::string& name);

// Writes the lines in Windows-1251 with CR LF ends; false when it failed.
bool WriteSkeletonFile(const std::string& path, const std::vector<std::string>& lines);

}  // namespace vemo
