#pragma once

#include "RowSource.h"

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>

namespace zx::db {

class Criterion;

// Finds rows of a recordset's "select * from <table>" without reading it: a
// point query for the first row the scan would meet that meets a criterion,
// and a query for the rows the scan would meet after it. The criterion
// decides on every row the point query offers, so the query only has to
// offer every row that may meet it, in scan order.
class KeyedScan {
public:
    using Run =
        std::function<std::unique_ptr<RowSource>(const QString& sql, const QVariantList& params)>;

    // What a seam knows about ordering a table's rows and looking texts up.
    struct Dialect {
        QString position;  // an expression that orders rows as a scan meets them
        QString after;     // the condition "after the position bound to ?"
        // A column and a bound text, ASCII case folded the same way ("%1"
        // stands for the column): compared with IN, one mark per text.
        QString foldedColumn;
        QString foldedMark;
        // Whether a scan of the table meets its rows in position order;
        // asked once, before the first lookup.
        std::function<bool(const QString& table, const QStringList& columns)> scansInOrder;
        // Where a compiled statement is kept for its text, IN lists are
        // padded with Null (which never equals) to the first of these sizes
        // that holds them, so that few texts are compiled; none: not padded.
        QList<int> listSizes = {};
    };

    // The table of a statement of the form "select * from <table>".
    static std::optional<QString> tableOf(const QString& sent);
    // For such a statement, whose first rows `scan` reads; nullptr for any
    // other statement.
    static std::shared_ptr<KeyedScan> of(const QString& sent, const RowSource& scan,
                                         Dialect dialect, Run run);
    // The rows a scan of `table` meets after the one at `position`.
    static std::unique_ptr<RowSource> rowsAfter(const QString& table, const Dialect& dialect,
                                                const Run& run, const Value& position);

    // The first row in scan order that meets the criterion, into `row`, and
    // its position: true when found, false when no row meets it, nullopt
    // when the criterion has no term to look up by.
    std::optional<bool> find(const Criterion& criterion, const std::vector<int>& columns,
                             std::vector<Value>* row, Value* position);

    // The rows the scan meets after the one at `position`.
    std::unique_ptr<RowSource> following(const Value& position) const;

private:
    KeyedScan(QString table, const RowSource& scan, Dialect dialect, Run run);
    std::optional<int> firstMatch(const QString& sql, const QVariantList& params,
                                  const Criterion& criterion, const std::vector<int>& columns,
                                  int enough, std::vector<Value>* row, Value* position) const;

    QString m_table;
    QStringList m_columns;
    QList<bool> m_text;
    Dialect m_dialect;
    Run m_run;
    std::optional<bool> m_ordered;  // not asked yet
};

}  // namespace zx::db
