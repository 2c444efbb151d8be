#include "rules/random.h"

namespace deal {

uint32_t randomState = 1;

void srand(uint32_t seed) { randomState = seed; }

int rand() {
    // Unsigned arithmetic: the state wraps modulo 2^32 by design.
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

}  // namespace deal
