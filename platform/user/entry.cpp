// The program's entry point on Linux: hands over to WinMain as Windows'
// start-up code would.
#include <cstdio>
#include <string>

#include "platform/user/client_area.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

int main(int argc, char** argv) {
    // On Windows there is always a desktop. Here there may be none, and the
    // game's start-up writes its score file before it makes its first window:
    // without a display it must not start at all, nor leave anything behind.
    if (!DisplayAvailable()) {
        std::fputs("tumbla: no display available (is DISPLAY set?)\n", stderr);
        return 0;
    }
    // The command line without the program's name, arguments joined by spaces.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
}
