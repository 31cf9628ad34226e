// The numeric and date tests agree with their conversions.

#include "FuzzCheck.h"
#include "core/Error.h"
#include "vb/Vb.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzText(data, size);
    using namespace zx::vb;

    if (const auto number = NumericValue(text))
        FUZZ_CHECK(!std::isnan(*number));

    const auto date = ParseDate(text);
    FUZZ_CHECK(IsDate(text) == date.has_value());
    if (date) {
        FUZZ_CHECK(date->isValid());
        FUZZ_CHECK(CDate(text, QStringLiteral("fuzz")) == *date);
    } else {
        bool threw = false;
        try {
            CDate(text, QStringLiteral("fuzz"));
        } catch (const zx::Error&) {
            threw = true;
        }
        FUZZ_CHECK(threw);
    }
    FUZZ_CHECK(Len(UCase(text)) >= 0);
    return 0;
}
