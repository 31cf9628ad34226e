#include "SqlServerDatabase.h"

namespace zx::db {

SqlServerDatabase::SqlServerDatabase(std::shared_ptr<SqlConnection> connection,
                                     const QString& connectionText)
    : OdbcDatabase(std::move(connection), connectionText, {QString(), true}) {}

}  // namespace zx::db
