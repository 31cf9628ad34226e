// A connection text parses or yields an error, masking is stable, and the
// pairs survive being joined again.

#include "FuzzCheck.h"
#include "dbkit/ConnectionText.h"

using zx::db::ConnectionText;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzText(data, size);
    const QString masked = zx::db::maskedConnectionText(text);
    FUZZ_CHECK(zx::db::maskedConnectionText(masked) == masked);

    QString error;
    const auto parsed = ConnectionText::parse(text, &error);
    FUZZ_CHECK(bool(parsed) != !error.isEmpty());
    if (!parsed)
        return 0;
    QString againError;
    const auto again = ConnectionText::parse(parsed->withoutProvider(), &againError);
    FUZZ_CHECK(again.has_value());
    int kept = 0;
    for (const auto& [key, value] : parsed->pairs())
        if (key.compare(QLatin1String("provider"), Qt::CaseInsensitive) != 0)
            ++kept;
    FUZZ_CHECK(again->pairs().size() == kept);
    for (const auto& [key, value] : again->pairs())
        FUZZ_CHECK(parsed->contains(key));
    return 0;
}
