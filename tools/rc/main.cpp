#include <iostream>
#include <string>
#include <vector>

#include "tools/rc/driver.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return rc::runCompiler(arguments, std::cout, std::cerr);
}
