#pragma once

#include "KeyedScan.h"
#include "OdbcDatabase.h"

namespace zx::db {

// PostgreSQL: the system tables are the schema zxsystem of the account
// database. The driver reads a whole result when a statement runs, so the
// rows of a whole table are read from the first one on in the order of
// their ctid, the order a sequential scan meets them in, and only as far
// as asked; they are looked up by key in the same order.
class PostgresDatabase final : public OdbcDatabase {
public:
    PostgresDatabase(std::shared_ptr<SqlConnection> connection, const ConnectionText& text);

protected:
    std::unique_ptr<RowSource> rows(const QString& sql, const QString& sent,
                                    const QVariantList& params) override;
    std::shared_ptr<KeyedScan> keyedScan(const QString& sent, const RowSource& scan) override;

private:
    KeyedScan::Run run() const;
    bool scansInOrder(const QString& table) const;
    KeyedScan::Dialect dialect() const;
};

}  // namespace zx::db
