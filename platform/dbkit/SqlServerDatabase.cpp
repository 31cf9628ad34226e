#include "SqlServerDatabase.h"

namespace zx::db {

SqlServerDatabase::SqlServerDatabase(std::shared_ptr<SqlConnection> connection,
                                     const ConnectionText& text)
    : OdbcDatabase(std::move(connection), text,
                   {QString(), QStringLiteral("SELECT DB_NAME()"),
                    QStringLiteral("SET LOCK_TIMEOUT 5000"), true}) {}

}  // namespace zx::db
