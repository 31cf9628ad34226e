// The number and date forms accept what their patterns below accept, the
// date test agrees with its conversion, and upper-casing keeps every
// position.

#include "FuzzCheck.h"
#include "core/Error.h"
#include "vb/Vb.h"

#include <QRegularExpression>

namespace {

// The forms as patterns: too costly for the run (a one-shot process
// compiles each), exact enough to hold the hand-written readers to.
const QRegularExpression NumberForm(
    QStringLiteral("^[ \\t]*[+-]?[ \\t]*(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?[ \\t]*$"));
const QRegularExpression DateForm(
    QStringLiteral("^\\s*(\\d{3,4})\\s*([-/.])\\s*(\\d{1,2})\\s*\\2\\s*(\\d{1,2})"
                   "(?:(?:\\s+|T)(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?\\s*$"));

std::optional<double> patternNumber(const QString& text) {
    if (!NumberForm.match(text).hasMatch())
        return std::nullopt;
    QString plain = text;
    plain.remove(u' ').remove(u'\t').replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<QDate> patternDate(const QString& text) {
    const auto m = DateForm.match(text);
    const int year = m.captured(1).toInt();
    const QDate date(year, m.captured(3).toInt(), m.captured(4).toInt());
    if (!m.hasMatch() || year < 100 || !date.isValid() || m.captured(5).toInt() > 23 ||
        m.captured(6).toInt() > 59 || m.captured(7).toInt() > 59)
        return std::nullopt;
    return date;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzText(data, size);
    using namespace zx::vb;

    if (const auto number = NumericValue(text))
        FUZZ_CHECK(!std::isnan(*number));
    FUZZ_CHECK(NumericValue(text) == patternNumber(text));

    const auto date = ParseDate(text);
    FUZZ_CHECK(date == patternDate(text));
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
