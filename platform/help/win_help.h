// How the help engine finds its viewer, shared by WinHelpA and the viewer
// itself (which looks for help files beside its own program).
#pragma once

#include <string>

// The name of the viewer's program.
constexpr char kHelpViewerName[] = "tumbla-help";

// The folder of the running program, from /proc/self/exe; empty when the
// system does not tell.
std::string RunningProgramFolder();

// The viewer beside the program (in programFolder), else in the first folder
// of `path` (a PATH value; null or empty means no search) that holds an
// executable tumbla-help. Empty when there is none.
std::string FindHelpViewer(const std::string& programFolder, const char* path);
