// A random source that plays back a script of values, then repeats its last one; tests pick scenes with it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/random.h"

namespace orbi::test {

class ScriptedRandom : public RandomSource {
  public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<double> values) : values_(std::move(values)) {}
    double Next() override {
        ++drawn_;
        if (values_.empty())
            return 0.0;
        if (next_ < values_.size())
            return values_[next_++];
        return values_.back();
    }
    void Append(const std::vector<double>& more) { values_.insert(values_.end(), more.begin(), more.end()); }
    size_t drawn() const { return drawn_; }

  private:
    std::vector<double> values_;
    size_t next_ = 0;
    size_t drawn_ = 0;
};

// The random values that make DrawSceneParameters give the wanted scene (each value the middle of its bucket).
struct SceneScript {
    int phaseX = 30, phaseY = 30, clockStep = 3, curveKind = 1, periodX = 200, periodY = 200;
    std::vector<double> Values() const {
        auto roundedTo = [](int wanted, double scale, double offset) {
            // round(r * scale + offset) == wanted for r in the middle of its interval, clamped into [0, 1).
            double r = (wanted - offset) / scale;
            if (r <= 0)
                return 0.1 / scale;
            if (r >= 1)
                return 1 - 0.1 / scale;
            return r;
        };
        return {roundedTo(phaseX, 1, 30),    roundedTo(phaseY, 1, 30),    roundedTo(clockStep, 6, 3),
                (curveKind - 1 + 0.5) / 4.0, roundedTo(periodX, 50, 200), roundedTo(periodY, 50, 200)};
    }
};

}  // namespace orbi::test
