// Records what the shell asks of the rest of the game and of the platform, in
// order, and lets a test decide what each call answers.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

struct ShellFakes {
    std::vector<std::string> log;
    std::string failing;  // "window", "DirectDraw", "surfaces", "backbuffer", "sheet"
    int messageBoxAnswer = IDNO;
    std::string iniValue;  // what the profile holds; "<missing>" for nothing
    std::string iniWritten;
    UINT lastCheck = 0xFFFF;
    int metrics[16] = {};
    int showCommand = -1;
    WNDCLASSA registered = {};
    // Also write each entry to standard error, for death tests.
    bool echo = false;

    void Add(const std::string& entry);
};

extern ShellFakes shellFakes;
extern HWND const theWindow;

void ResetShellFakes();
