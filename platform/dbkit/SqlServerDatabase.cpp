#include "SqlServerDatabase.h"

namespace zx::db {

SqlServerDatabase::SqlServerDatabase(std::shared_ptr<SqlConnection> connection,
                                     const ConnectionText& text)
    : OdbcDatabase(std::move(connection), text,
                   {QString(), QStringLiteral("SELECT DB_NAME()"), true}) {}

}  // namespace zx::db
