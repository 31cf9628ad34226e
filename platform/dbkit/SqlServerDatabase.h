#pragma once

#include "OdbcDatabase.h"

namespace zx::db {

// SQL Server (in production through FreeTDS): the system database is
// reached as zxsystem..table, as the statements are written, and the server
// keeps one result pending per connection. Its scan order cannot be named,
// so FindFirst reads rows.
class SqlServerDatabase final : public OdbcDatabase {
public:
    SqlServerDatabase(std::shared_ptr<SqlConnection> connection, const ConnectionText& text);
};

}  // namespace zx::db
