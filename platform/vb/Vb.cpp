#include "Vb.h"

#include "core/Error.h"

#include <QRegularExpression>

namespace zx::vb {

namespace {

const QRegularExpression& numberForm() {
    static const QRegularExpression form(
        QStringLiteral("^[ \\t]*[+-]?[ \\t]*(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?[ \\t]*$"));
    return form;
}

}  // namespace

// A number that does not convert (an exponent beyond range) is no number.
std::optional<double> NumericValue(const QString& text) {
    if (!numberForm().match(text).hasMatch())
        return std::nullopt;
    QString plain = text;
    plain.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    plain.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<QDate> ParseDate(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{3,4})\\s*([-/.])\\s*(\\d{1,2})\\s*\\2\\s*(\\d{1,2})"
                       "(?:(?:\\s+|T)(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?\\s*$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int year = match.captured(1).toInt();
    const QDate date(year, match.captured(3).toInt(), match.captured(4).toInt());
    if (year < 100 || !date.isValid())
        return std::nullopt;
    if (!match.captured(5).isEmpty()) {
        const int hour = match.captured(5).toInt();
        const int minute = match.captured(6).toInt();
        const int second = match.captured(7).isEmpty() ? 0 : match.captured(7).toInt();
        if (hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
    }
    return date;
}

bool IsDate(const QString& text) {
    return ParseDate(text).has_value();
}

QDate CDate(const QString& text, const QString& what) {
    const auto date = ParseDate(text);
    if (!date)
        throw Error(QStringLiteral("Type mismatch: %1 \"%2\" is not a date").arg(what, text));
    return *date;
}

QString UCase(const QString& text) {
    QString upper = text;
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const QChar c = upper[i];
        if (c.isHighSurrogate() && i + 1 < upper.size() && upper[i + 1].isLowSurrogate()) {
            const char32_t mapped = QChar::toUpper(QChar::surrogateToUcs4(c, upper[i + 1]));
            if (QChar::requiresSurrogates(mapped)) {
                upper[i] = QChar(QChar::highSurrogate(mapped));
                upper[i + 1] = QChar(QChar::lowSurrogate(mapped));
            }
            ++i;
        } else {
            const char32_t mapped = QChar::toUpper(c.unicode());
            if (!QChar::requiresSurrogates(mapped))
                upper[i] = QChar(mapped);
        }
    }
    return upper;
}

QString Mid(const QString& text, int start, int length) {
    if (start < 1 || length <= 0 || start > text.size())
        return {};
    return text.mid(start - 1, length);
}

int InStr(const QString& text, const QString& what) {
    return int(text.indexOf(what)) + 1;
}

}  // namespace zx::vb
