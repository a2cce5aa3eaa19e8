// Uniform random values in [0, 1), seeded once from the time of day; a source tests can replace with a script.
#pragma once

#include <cstdint>

namespace orbi {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double Next() = 0;  // uniform in [0, 1)
};

// A 24-bit linear congruential generator: small, fast and plenty for curve parameters.
class Rnd final : public RandomSource {
  public:
    explicit Rnd(uint32_t seed = 0x50000) : state_(seed & 0xFFFFFF) {}
    // Seeds from the seconds since midnight (fraction included), as the time of day gives them.
    void Randomize(double secondsSinceMidnight);
    double Next() override;

  private:
    uint32_t state_;
};

}  // namespace orbi
