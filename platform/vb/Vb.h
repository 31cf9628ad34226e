#pragma once

// The few runtime semantics the system's texts rely on: numeric and date
// tests on user text, upper-casing, length and ordinal comparison.

#include <QDate>
#include <QString>

#include <optional>

namespace zx::vb {

// The value of a number: optional blanks, optional sign, digits with at most
// one decimal point (at least one digit), an optional exponent, optional
// blanks. nullopt for any other text.
std::optional<double> NumericValue(const QString& text);

// A calendar date written year first: 2001-3-1, 2001-03-01 00:00:00,
// 2001/3/1, 2001.3.1, 2001-03-01T00:00:00. Years 100 to 9999.
bool IsDate(const QString& text);
std::optional<QDate> ParseDate(const QString& text);
// The date of a text; throws zx::Error ("Type mismatch") when it is not one.
QDate CDate(const QString& text, const QString& what);

inline QString UCase(const QString& text) {
    return text.toUpper();
}
// Length in UTF-16 code units, as the text boxes count.
inline int Len(const QString& text) {
    return int(text.size());
}
// Character-by-character comparison by code: <0, 0, >0.
inline int CompareOrdinal(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseSensitive);
}
// 1-based substring of at most `length` units; shorter when the text ends.
QString Mid(const QString& text, int start, int length);
// 1-based position of `what` in `text`, 0 when absent.
int InStr(const QString& text, const QString& what);

}  // namespace zx::vb
