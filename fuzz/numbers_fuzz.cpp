// The decimal reader and the conversions: never crash, and what the program writes it reads back unchanged.
#include <cmath>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "platform/numbers.h"

using namespace orbi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text =
        (size > 0 && data[0] & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data, size);
    const double v = Val(text);
    if (std::isnan(v))
        std::abort();  // the reader never produces NaN
    if (auto i16 = ToInt16(v)) {
        if (std::fabs(*i16 - v) > 0.5)
            std::abort();
        auto back = ParseNumber(NumberText(*i16));
        if (!back || *back != *i16)
            std::abort();
    }
    if (auto i32 = ToInt32(v)) {
        if (std::fabs(static_cast<double>(*i32) - v) > 0.5)
            std::abort();
    }
    if (auto whole = ParseNumber(text)) {
        // A text that is a number as a whole reads the same with the prefix reader.
        if (*whole != Val(text))
            std::abort();
    }
    (void)FormatHashHash(static_cast<int32_t>(size));
    return 0;
}
