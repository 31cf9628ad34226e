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

// Whether a byte may start a quoted text, a quoted name, a comment, a
// parameter, WHERE, RETURNING or a parenthesis; the rest is copied as it
// stands.
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
        case '#':
        case '$':
        case 'w':
        case 'W':
        case 'r':
        case 'R':
        case '(':
        case ')':
            return true;
        default:
            return false;
    }
}

enum class Form { Other, Write, WholeRows };

// A write, a read of whole rows ("select * from"), or another statement
// (a WITH, a leading comment), which is left as it is.
Form formOf(const QByteArray& sql) {
    qsizetype at = 0;
    const auto word = [&] {
        while (at < sql.size() && isBlankByte(sql[at]))
            ++at;
        const qsizetype start = at;
        while (at < sql.size() && (isWordByte(sql[at]) || (at == start && sql[at] == '*')))
            ++at;
        return sql.mid(start, at - start).toUpper();
    };
    const QByteArray first = word();
    if (first == "SELECT")
        return word() == "*" && word() == "FROM" ? Form::WholeRows : Form::Other;
    if (first == "INSERT" || first == "UPDATE" || first == "DELETE" || first == "REPLACE")
        return Form::Write;
    return Form::Other;
}

// Whether the word `upper` stands at `at`, in any case.
bool wordAt(const QByteArray& sql, qsizetype at, QByteArrayView upper) {
    const qsizetype end = at + upper.size();
    return (at == 0 || !isWordByte(sql[at - 1])) && sql.mid(at, upper.size()).toUpper() == upper &&
           (end == sql.size() || !isWordByte(sql[end]));
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
    const Form form = formOf(sql);
    // SQLite reads a statement up to a NUL.
    if (form == Form::Other || sql.contains('\0'))
        return std::nullopt;
    // A read's texts before its own WHERE may name columns ("from (select
    // 'a')"), and so may a write's after RETURNING; a WHERE within
    // parentheses is a subquery's.
    bool textsFree = form == Form::Write;
    int depth = 0;
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
        if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
        } else if (c == 'w' || c == 'W') {
            textsFree = textsFree || (depth == 0 && wordAt(sql, at, "WHERE"));
        } else if (c == 'r' || c == 'R') {
            textsFree = textsFree && !(depth == 0 && wordAt(sql, at, "RETURNING"));
        } else if (c == '\'') {
            if (!textsFree || (at > 0 && isWordByte(sql[at - 1])))  // X'..' is a blob
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
        } else if (c == ':' || c == '@' || c == '#' ||
                   (c == '$' && (at == 0 || !isWordByte(sql[at - 1])))) {
            // A named parameter (SQLite reads ":a", "@a", "#a" and "$a", the
            // last also as "$a::b(c)"), or a stray mark that fails to compile
            // either way; "$" inside a word belongs to the word.
            return std::nullopt;
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
