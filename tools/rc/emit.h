// The C++ source that carries the compiled resources into the program: the
// `resourceTable` and `resourceCount` of platform/kernel/resources.h.
#pragma once

#include <string>
#include <vector>

#include "tools/rc/encode.h"

namespace rc {

// `sourceName` only goes into the generated file's opening comment.
std::string emitTable(const std::vector<CompiledResource>& resources,
                      const std::string& sourceName);

}  // namespace rc
