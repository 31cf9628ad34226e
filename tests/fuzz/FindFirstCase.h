#pragma once

// Tables and criteria decoded from bytes, for comparing FindFirst that looks
// its row up by key with FindFirst over rows read: texts that compare equal
// or almost under the kit's rules (case, fold variants, trailing blanks),
// Null, and criteria that mix terms a lookup can use with terms it cannot.

#include "core/Error.h"
#include "dbkit/HostDatabase.h"

#include <QStringList>
#include <QVariantList>

#include <cstdint>

namespace findfirst {

inline const QStringList Texts{
    "aa", "AA", "aA ", "ab", "s",  "S", QStringLiteral("ſ"), "ks", "KS", QStringLiteral("\u212As"),
    "é",  "É",  "",    " ",  "x'y"};
inline const QStringList Fields{"k1", "k2", "v", "n"};
inline const QString Table = QStringLiteral(
    "create table zxdiff (k1 varchar(20), k2 varchar(20), "
    "v varchar(20), n int)");

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    int next(int bound) { return m_at < m_size ? m_data[m_at++] % bound : 0; }
    bool empty() const { return m_at >= m_size; }
    QString rest() {
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_at),
                                               qsizetype(m_size - m_at));
        m_at = m_size;
        return text;
    }

    // Up to 23 rows of k1, k2, v (a text or Null) and n.
    QList<QVariantList> rows() {
        QList<QVariantList> rows;
        for (int count = next(24); count > 0; --count) {
            QVariantList row;
            for (int i = 0; i < 3; ++i) {
                const int pick = next(int(Texts.size()) + 2);
                row << (pick >= Texts.size() ? QVariant() : QVariant(Texts[pick]));
            }
            rows << (row << next(4));
        }
        return rows;
    }

    // Terms joined by and / or, now and then any text at all.
    QString criterion() {
        if (next(8) == 0)
            return rest();
        QString text = QStringLiteral("k1=") + literal();
        while (!empty() && next(3) != 0)
            text = next(4) == 0 ? QStringLiteral("(%1 or %2)").arg(text, term())
                                : text + QStringLiteral(" and ") + term();
        return text;
    }

private:
    QString literal() {
        return QLatin1Char('\'') + QString(Texts[next(int(Texts.size()))]).replace("'", "''") +
               QLatin1Char('\'');
    }
    QString term() {
        const QString field = Fields[next(3)];
        switch (next(6)) {
            case 0:
                return field + QStringLiteral(" is null");
            case 1:
                return field + QStringLiteral(" is not null");
            case 2:
                return QStringLiteral("n=%1").arg(next(4));
            case 3:
                return field + QStringLiteral("<>") + literal();
            default:
                return field + QLatin1Char('=') + literal();
        }
    }

    const uint8_t* m_data;
    size_t m_size, m_at = 0;
};

// The outcome of FindFirst and every row MoveNext reaches after it, or the
// error it raised.
inline QStringList findAndWalk(zx::db::HostRecordset& rs, const QString& criterion) {
    try {
        rs.FindFirst(criterion);
    } catch (const zx::Error& error) {
        return {QStringLiteral("error"), error.message()};
    }
    QStringList rows;
    while (!rs.Eof()) {
        QStringList cells;
        for (const QString& field : Fields) {
            const zx::db::Value value = rs.Recordset().Fields(field);
            cells << (value.isNull() ? QStringLiteral("NULL") : value.variant().toString());
        }
        rows << cells.join(QLatin1Char('|'));
        rs.MoveNext();
    }
    return rows;
}

// Replaces the rows of the table.
inline void fill(zx::db::HostDatabase& db, const QList<QVariantList>& rows) {
    db.BeginTrans();
    db.Execute(QStringLiteral("delete from zxdiff"));
    for (const QVariantList& row : rows)
        db.Execute(QStringLiteral("insert into zxdiff values (?, ?, ?, ?)"), row);
    db.CommitTrans();
}

}  // namespace findfirst
