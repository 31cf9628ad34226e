// A criterion either parses or yields an error naming it, never both; a
// parsed one binds and evaluates over any row without failing.

#include "FuzzCheck.h"
#include "dbkit/Criterion.h"

using zx::db::Criterion;
using zx::db::Value;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzText(data, size);
    QString error;
    const auto criterion = Criterion::parse(text, &error);
    FUZZ_CHECK(bool(criterion) != !error.isEmpty());
    if (!criterion)
        return 0;
    const QStringList columns{"cSysID", "cName", "cValue", "iperiod", "a", "b"};
    QString bindError;
    const auto bound = criterion->bind(columns, &bindError);
    FUZZ_CHECK(bool(bound) != !bindError.isEmpty());
    if (!bound)
        return 0;
    const std::vector<std::vector<Value>> rows{
        {Value("AA"), Value("bRemote"), Value("TRUE"), Value(QVariant(1)), Value(), Value("x'y")},
        {Value(), Value(), Value(), Value(), Value(), Value()},
        {Value("st"), Value(""), Value("1e3"), Value(QVariant(-2.5)), Value(QVariant(0)),
         Value("口")},
    };
    for (const auto& row : rows)
        (void)criterion->matches(row, *bound);
    return 0;
}
