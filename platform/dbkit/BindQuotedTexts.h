#pragma once

#include <QByteArray>
#include <QVariantList>

#include <optional>

namespace zx::db {

struct StatementWithParams {
    QByteArray sql;
    QVariantList params;
};

// An SQLite INSERT, UPDATE, DELETE or REPLACE, or a "select * from" past
// its WHERE, with each quoted text turned into a "?" bound to that text, the
// statement's own "?" parameters kept in their places: a save's writes and
// a load's reads differ mostly in their quoted texts, and then share one
// compiled statement. nullopt when there is no text to take out or the
// statement is not plainly of that form (named or numbered parameters, a
// blob, a NUL, an unclosed quote, marks and parameters that do not pair up).
std::optional<StatementWithParams> bindQuotedTexts(const QByteArray& sql,
                                                   const QVariantList& params);

}  // namespace zx::db
