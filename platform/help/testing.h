// Test controls of the help engine: what WinHelpA would start, without
// starting it. Not part of the Windows API: the game never includes this.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform_testing {

struct HelpLaunch {
    std::string program;                 // the viewer's path
    std::vector<std::string> arguments;  // argv, the program's path first
};

// While set, WinHelpA hands the viewer it found, with its arguments, to the
// hook instead of starting it, and returns TRUE when the hook returns true.
// An empty function removes it.
void SetHelpLaunchHook(std::function<bool(const HelpLaunch&)> hook);

}  // namespace platform_testing
