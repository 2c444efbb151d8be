// The deal's own random numbers. The rule is fixed here rather than taken from
// the C library, so that one seed always deals the same board on every
// platform; the names mirror the C library's, hence the namespace.
#pragma once

#include <cstdint>

namespace deal {

// 1 until the first seeding; every deal seeds before it draws.
extern uint32_t randomState;

void srand(uint32_t seed);
// A number from 0 to 32767.
int rand();

}  // namespace deal
