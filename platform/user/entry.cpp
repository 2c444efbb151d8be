// The program's entry point on Linux: hands over to WinMain as Windows'
// start-up code would.
#include <string>

#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

int main(int argc, char** argv) {
    // The command line without the program's name, arguments joined by spaces.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
}
