#include "Vb.h"

#include "core/Ascii.h"
#include "core/Error.h"

namespace zx::vb {

namespace {

// Reads a text from left to right.
class Reader {
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_at == m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_at]; }
    qsizetype position() const { return m_at; }
    void moveTo(qsizetype at) { m_at = at; }

    bool take(QChar c) {
        if (atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }
    void skipSpacesAndTabs() {
        while (take(u' ') || take(u'\t')) {
        }
    }
    // ASCII blanks; whether there were any.
    bool skipBlanks() {
        const qsizetype from = m_at;
        while (!atEnd() && ascii::isBlank(m_text[m_at]))
            ++m_at;
        return m_at > from;
    }
    // The digits that stand here, all of them.
    QStringView digits() {
        const qsizetype from = m_at;
        while (!atEnd() && ascii::isDigit(m_text[m_at]))
            ++m_at;
        return m_text.mid(from, m_at - from);
    }
    // A number of `min` to `max` digits, where no further digit follows.
    std::optional<int> number(int min, int max) {
        const QStringView run = digits();
        if (run.size() < min || run.size() > max)
            return std::nullopt;
        return run.toInt();
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// Blanks and tabs, a sign, blanks and tabs, digits with at most one point
// (at least one digit), an exponent by e or d, blanks and tabs, and a line
// feed at the very end.
bool isNumberForm(QStringView text) {
    Reader r(text);
    r.skipSpacesAndTabs();
    if (!r.take(u'+'))
        r.take(u'-');
    r.skipSpacesAndTabs();
    if (!r.digits().isEmpty()) {
        if (r.take(u'.'))
            r.digits();
    } else if (!r.take(u'.') || r.digits().isEmpty()) {
        return false;
    }
    if (r.take(u'e') || r.take(u'E') || r.take(u'd') || r.take(u'D')) {
        if (!r.take(u'+'))
            r.take(u'-');
        if (r.digits().isEmpty())
            return false;
    }
    r.skipSpacesAndTabs();
    r.take(u'\n');
    return r.atEnd();
}

// After a date: nothing but blanks, or a time (after blanks or a T) of
// hours, minutes and, with or without a fraction, seconds. Whether the
// time is a time of day.
bool isTimeTail(Reader& r) {
    const qsizetype afterDate = r.position();
    r.skipBlanks();
    if (r.atEnd())
        return true;
    r.moveTo(afterDate);
    if (!r.take(u'T') && !r.skipBlanks())
        return false;
    const auto hour = r.number(1, 2);
    if (!hour || !r.take(u':'))
        return false;
    const auto minute = r.number(2, 2);
    if (!minute)
        return false;
    int second = 0;
    if (r.take(u':')) {
        const auto seconds = r.number(2, 2);
        if (!seconds)
            return false;
        second = *seconds;
        if (r.take(u'.') && r.digits().isEmpty())
            return false;
    }
    r.skipBlanks();
    return r.atEnd() && *hour <= 23 && *minute <= 59 && second <= 59;
}

}  // namespace

// A number that does not convert (an exponent beyond range) is no number.
std::optional<double> NumericValue(const QString& text) {
    if (!isNumberForm(text))
        return std::nullopt;
    QString plain = text;
    plain.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    plain.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// Year, month and day between the same separator (-, / or .), blanks
// around each part, then an optional time.
std::optional<QDate> ParseDate(const QString& text) {
    Reader r(text);
    r.skipBlanks();
    const auto year = r.number(3, 4);
    r.skipBlanks();
    const QChar separator = r.peek();
    if (!year || !(r.take(u'-') || r.take(u'/') || r.take(u'.')))
        return std::nullopt;
    r.skipBlanks();
    const auto month = r.number(1, 2);
    r.skipBlanks();
    if (!month || !r.take(separator))
        return std::nullopt;
    r.skipBlanks();
    const auto day = r.number(1, 2);
    if (!day || !isTimeTail(r))
        return std::nullopt;
    const QDate date(*year, *month, *day);
    if (*year < 100 || !date.isValid())
        return std::nullopt;
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
