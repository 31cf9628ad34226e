#pragma once

// The kit reads SQLite rows through the handle Qt's driver hands out. That
// is sound only when the driver calls the very SQLite library the kit calls:
// a driver with SQLite built in would hand out a handle of another library.

struct sqlite3;
class QSqlDatabase;

namespace zx::db {

// The open connection's handle, or nullptr when it is not one of our
// library's and only QtSql may use the connection.
sqlite3* sqliteHandle(const QSqlDatabase& db);

// Whether the shared object that holds `address` resolves SQLite's symbols
// to the library this kit is linked with.
bool usesOurSqlite(const void* address);

}  // namespace zx::db
