// A connection text parses or yields an error, masking is stable, and the
// pairs come back unchanged from the text they are joined into.

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
    const auto again = ConnectionText::parse(parsed->toString(), &error);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->pairs() == parsed->pairs());
    return 0;
}
