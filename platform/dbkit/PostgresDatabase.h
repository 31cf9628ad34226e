#pragma once

#include "OdbcDatabase.h"

namespace zx::db {

// PostgreSQL: the system tables are the schema zxsystem of the account
// database; rows of a whole table are looked up by key in the order of
// their ctid, the order a sequential scan meets them in.
class PostgresDatabase final : public OdbcDatabase {
public:
    PostgresDatabase(std::shared_ptr<SqlConnection> connection, const ConnectionText& text);

protected:
    std::shared_ptr<KeyedScan> keyedScan(const QString& sent, const RowSource& scan) override;
};

}  // namespace zx::db
