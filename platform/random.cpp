#include "platform/random.h"

#include <cstring>

namespace orbi {

void Rnd::Randomize(double secondsSinceMidnight) {
    // Mix the bits of the double so that neighbouring seconds give unrelated sequences.
    uint64_t bits = 0;
    std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
    bits ^= bits >> 29;
    bits *= 0xBF58476D1CE4E5B9ull;
    bits ^= bits >> 32;
    state_ = static_cast<uint32_t>(bits) & 0xFFFFFF;
}

double Rnd::Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFF;
    return state_ / 16777216.0;
}

}  // namespace orbi
