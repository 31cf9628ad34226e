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

    // When the criterion is nothing but "field = 'text'" terms joined by
    // and: the fields (indices into bind()'s result) with their texts, so
    // that a caller may look rows up by key. nullopt otherwise.
    struct Equality {
        int field;
        QString text;
    };
    std::optional<std::vector<Equality>> equalities() const;

    // The key under which a text compares equal without regard to case.
    static QString foldKey(const QString& text);

    struct Node;
    ~Criterion();

private:
    Criterion() = default;
    static QString foldKeySlow(const QString& text);
    QString m_text;
    std::unique_ptr<Node> m_root;
    QStringList m_fields;  // field names in order of first use
};

}  // namespace zx::db
