#pragma once

#include "HostDatabase.h"

#include <memory>

namespace zx::db {

class ConnectionText;

// Opens a database through ODBC. QtSql and the ODBC driver manager live in
// a library of their own beside this kit's, loaded the first time one is
// opened, so that a process on SQLite alone never maps them.
std::unique_ptr<HostDatabase> openOdbcDatabase(const ConnectionText& text);

}  // namespace zx::db
