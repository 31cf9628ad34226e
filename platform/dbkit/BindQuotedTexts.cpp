#include "BindQuotedTexts.h"

#include <QString>
#include <QUtf8StringView>

namespace zx::db {

namespace {

bool isWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || (c & 0x80);
}

bool isBlankByte(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Whether a byte may start a quoted text, a quoted name, a comment or a
// parameter; the rest is copied as it stands.
bool mayMatter(char c) {
    switch (c) {
        case '\'':
        case '"':
        case '`':
        case '[':
        case '-':
        case '/':
        case '?':
        case ':':
        case '@':
        case '$':
            return true;
        default:
            return false;
    }
}

// Whether the statement starts with a word that writes rows. A statement
// that starts otherwise (a WITH, a comment) is left as it is.
bool writesRows(const QByteArray& sql) {
    qsizetype at = 0;
    while (at < sql.size() && isBlankByte(sql[at]))
        ++at;
    qsizetype end = at;
    while (end < sql.size() && isWordByte(sql[end]))
        ++end;
    const QByteArray word = sql.mid(at, end - at).toUpper();
    return word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "REPLACE";
}

// Where the quoted run that opens at `at` with `close` ends (one past the
// closing quote, a doubled one standing for itself); -1 when it is not closed.
qsizetype endOfQuoted(const QByteArray& sql, qsizetype at, char close) {
    for (qsizetype i = at + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

}  // namespace

std::optional<StatementWithParams> bindQuotedTexts(const QByteArray& sql,
                                                   const QVariantList& params) {
    // SQLite reads a statement up to a NUL.
    if (!writesRows(sql) || sql.contains('\0'))
        return std::nullopt;
    StatementWithParams out;
    out.sql.reserve(sql.size());
    const qsizetype size = sql.size();
    const auto startsAt = [&](qsizetype at, char first, char second) {
        return sql[at] == first && at + 1 < size && sql[at + 1] == second;
    };
    qsizetype copied = 0;  // sql before this is in out.sql
    qsizetype given = 0;   // the statement's own parameters used so far
    for (qsizetype at = 0; at < size;) {
        const char c = sql[at];
        qsizetype end = at + 1;
        if (!mayMatter(c)) {
            at = end;
            continue;
        }
        if (c == '\'') {
            if (at > 0 && isWordByte(sql[at - 1]))  // X'..' is a blob
                return std::nullopt;
            end = endOfQuoted(sql, at, '\'');
            if (end < 0)
                return std::nullopt;
            // A text that is no UTF-8 would not be bound as the same bytes.
            const QByteArray text = sql.mid(at + 1, end - at - 2).replace("''", "'");
            if (!QUtf8StringView(text).isValidUtf8())
                return std::nullopt;
            out.sql.append(sql.constData() + copied, at - copied).append('?');
            if (end < size && sql[end] >= '0' && sql[end] <= '9')
                out.sql.append(' ');  // '..'1 is no ?1
            out.params << QString::fromUtf8(text);
            copied = end;
        } else if (c == '"' || c == '`' || c == '[') {
            end = endOfQuoted(sql, at, c == '[' ? ']' : c);
        } else if (startsAt(at, '-', '-')) {
            end = sql.indexOf('\n', at);
            end = end < 0 ? size : end;
        } else if (startsAt(at, '/', '*')) {
            end = sql.indexOf("*/", at + 2);
            end = end < 0 ? size : end + 2;
        } else if (c == '?') {
            if (at + 1 < size && sql[at + 1] >= '0' && sql[at + 1] <= '9')
                return std::nullopt;
            if (given == params.size())
                return std::nullopt;
            out.params << params[given++];
        } else if (c == ':' || c == '@' || (c == '$' && (at == 0 || !isWordByte(sql[at - 1])))) {
            return std::nullopt;  // a named parameter
        }
        if (end < 0)
            return std::nullopt;
        at = end;
    }
    if (copied == 0 /* no quoted text */ || given != params.size())
        return std::nullopt;
    out.sql.append(sql.constData() + copied, size - copied);
    return out;
}

}  // namespace zx::db
