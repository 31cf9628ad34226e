#pragma once

// The criterion language of FindFirst: comparisons of fields with quoted
// texts and numbers, "is [not] null", joined by and / or / not and
// parentheses. Text compares without regard to case, as the server does.

#include "Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zx::db {

class Criterion {
public:
    // Parses text; on failure returns nullptr and sets *error to a message
    // that names the criterion.
    static std::shared_ptr<const Criterion> parse(const QString& text, QString* error);

    // Like parse(), but remembers recent parses: the loads ask for the same
    // few criteria on every run.
    static std::shared_ptr<const Criterion> cached(const QString& text, QString* error);

    // The column index of each field the criterion names, resolved against a
    // row layout without regard to case; nullopt (and *error) for an unknown
    // field.
    std::optional<std::vector<int>> bind(const QStringList& columns, QString* error) const;

    // Whether the row meets the criterion; Null comparisons are unknown and
    // count as not met. `columns` comes from bind().
    bool matches(const std::vector<Value>& row, const std::vector<int>& columns) const;

    const QString& text() const { return m_text; }

    // The terms of the criterion's top-level "and" that compare a field with
    // a constant the way a server can look up: field = 'text', field is
    // [not] null. Every other term is left out, so a row that fails these
    // terms fails the whole criterion; the converse is not implied.
    struct KeyTerm {
        enum Kind { Equals, IsNull, IsNotNull } kind;
        int field;  // index into bind()'s result
        QString text;
    };
    std::vector<KeyTerm> keyTerms() const;

    // Every text equal to `text` under the comparison above, with ASCII
    // letters in lower case only (a server folds ASCII case itself); nullopt
    // when there are more than `limit` or when `text` holds a character
    // whose stored form a database may not give back as it was.
    static std::optional<QStringList> equalTexts(const QString& text, int limit);

    struct Node;
    ~Criterion();

private:
    Criterion() = default;
    QString m_text;
    std::unique_ptr<Node> m_root;
    QStringList m_fields;  // field names in order of first use
};

}  // namespace zx::db
