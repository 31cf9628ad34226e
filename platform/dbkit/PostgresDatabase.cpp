#include "PostgresDatabase.h"

#include "KeyedScan.h"
#include "QueryRows.h"

namespace zx::db {

PostgresDatabase::PostgresDatabase(std::shared_ptr<SqlConnection> connection,
                                   const ConnectionText& text)
    : OdbcDatabase(std::move(connection), text,
                   {QStringLiteral("zxsystem"), QStringLiteral("SELECT current_database()"),
                    QStringLiteral("SET lock_timeout = 5000"), false}) {}

std::shared_ptr<KeyedScan> PostgresDatabase::keyedScan(const QString& sent, const RowSource& scan) {
    KeyedScan::Run run = [connection = connection()](const QString& sql,
                                                     const QVariantList& params) {
        return std::make_unique<QueryRows>(connection, sql, sql, params);
    };
    // A plain table's scan meets rows in ctid order; an inherited or
    // partitioned table's, or a view's, does not. (A scan of a very large
    // table may join one already running midway: no order holds for it.)
    auto scansInOrder = [run](const QString& table, const QStringList&) {
        auto plain = run(QStringLiteral("SELECT 1 FROM pg_class c WHERE c.oid = to_regclass(?) AND "
                                        "c.relkind = 'r' AND NOT EXISTS (SELECT 1 FROM pg_inherits "
                                        "i WHERE i.inhparent = c.oid)"),
                         {table});
        std::vector<Value> row;
        return plain->next(row);
    };
    KeyedScan::Dialect dialect{
        QStringLiteral("ctid"),
        QStringLiteral("ctid > CAST(? AS tid)"),
        [](const QString& column, int count) {
            QStringList marks;
            for (int i = 0; i < count; ++i)
                marks << QStringLiteral("lower(?)");
            return QStringLiteral("lower(%1) IN (%2)").arg(column, marks.join(QLatin1Char(',')));
        },
        scansInOrder,
    };
    return KeyedScan::of(sent, scan, std::move(dialect), run);
}

}  // namespace zx::db
