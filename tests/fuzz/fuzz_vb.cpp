// The date test agrees with its conversion, and upper-casing keeps every
// position.

#include "FuzzCheck.h"
#include "core/Error.h"
#include "vb/Vb.h"

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
    FUZZ_CHECK(Len(UCase(text)) == Len(text));
    return 0;
}
