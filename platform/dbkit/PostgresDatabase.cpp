#include "PostgresDatabase.h"

#include "QueryRows.h"
#include "TableScan.h"

namespace zx::db {

PostgresDatabase::PostgresDatabase(std::shared_ptr<SqlConnection> connection,
                                   const ConnectionText& text)
    : OdbcDatabase(std::move(connection), text,
                   {QStringLiteral("zxsystem"), QStringLiteral("SELECT current_database()"),
                    QStringLiteral("SET lock_timeout = 5000"), false}) {}

KeyedScan::Run PostgresDatabase::run() const {
    return [connection = connection()](const QString& sql, const QVariantList& params) {
        return std::make_unique<QueryRows>(connection, sql, sql, params);
    };
}

// A plain table's scan meets rows in ctid order; an inherited or
// partitioned table's, or a view's, does not. (A scan of a very large table
// may join one already running midway: no order holds for it.)
bool PostgresDatabase::scansInOrder(const QString& table) const {
    auto plain = run()(QStringLiteral("SELECT 1 FROM pg_class c WHERE c.oid = to_regclass(?) AND "
                                      "c.relkind = 'r' AND NOT EXISTS (SELECT 1 FROM pg_inherits "
                                      "i WHERE i.inhparent = c.oid)"),
                       {table});
    std::vector<Value> row;
    return plain->next(row);
}

KeyedScan::Dialect PostgresDatabase::dialect() const {
    return {
        QStringLiteral("ctid"),
        QStringLiteral("ctid > CAST(? AS tid)"),
        QStringLiteral("lower(%1)"),
        QStringLiteral("lower(?)"),
        // Only a table read in ctid order gets a KeyedScan (below).
        [](const QString&, const QStringList&) { return true; },
    };
}

std::unique_ptr<RowSource> PostgresDatabase::rows(const QString& sql, const QString& sent,
                                                  const QVariantList& params) {
    if (params.isEmpty())
        if (const auto table = KeyedScan::tableOf(sent); table && scansInOrder(*table))
            return std::make_unique<TableScan>(*table, dialect(), run());
    return OdbcDatabase::rows(sql, sent, params);
}

std::shared_ptr<KeyedScan> PostgresDatabase::keyedScan(const QString& sent, const RowSource& scan) {
    if (!dynamic_cast<const TableScan*>(&scan))
        return nullptr;
    return KeyedScan::of(sent, scan, dialect(), run());
}

}  // namespace zx::db
