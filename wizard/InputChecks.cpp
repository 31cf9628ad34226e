#include "InputChecks.h"

#include "vb/Vb.h"

namespace zx::wizard {

Entry checkRemoteId(const QString& text) {
    if (text.isEmpty())
        return Entry::Missing;
    const auto number = vb::NumericValue(text);
    if (!number || *number < 0 || *number > 99 || vb::Len(text) != 2)
        return Entry::Invalid;
    return Entry::Valid;
}

Entry checkStartMonth(const QString& text, int year) {
    if (text.isEmpty())
        return Entry::Missing;
    const auto number = vb::NumericValue(text);
    const QString asDate = QString::number(year) + QLatin1Char('-') + text + QStringLiteral("-1");
    if (!number || *number < 1 || *number > 12 || !vb::IsDate(asDate))
        return Entry::Invalid;
    return Entry::Valid;
}

}  // namespace zx::wizard
