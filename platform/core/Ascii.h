#pragma once

// Character classes of the ASCII range, for the small fixed forms the
// system reads (names, numbers, dates, GUIDs): a pattern compiler costs a
// one-shot process more than these forms are worth.

#include <QChar>

namespace zx::ascii {

inline bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
inline bool isLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
inline bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
// A letter, a digit or '_'.
inline bool isWordChar(QChar c) {
    return isLetter(c) || isDigit(c) || c == u'_';
}
// Space, tab, line feed, vertical tab, form feed, carriage return.
inline bool isBlank(QChar c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

}  // namespace zx::ascii
