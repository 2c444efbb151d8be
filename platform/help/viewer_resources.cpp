// The viewer program carries no resources of its own, but the layer it links
// looks resources up in a table every program defines.
#include "platform/kernel/resources.h"

const ResourceEntry resourceTable[] = {{0, nullptr, 0, nullptr, nullptr, 0}};
const size_t resourceCount = 0;
