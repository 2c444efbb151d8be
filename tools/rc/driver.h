// The command line of tumbla_rc, callable from tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rc {

// Runs the compiler with the arguments after the program name. Returns the
// exit status: 0 on success, 1 for an error in the script or its files, 2 for
// a wrong command line.
int runCompiler(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace rc
