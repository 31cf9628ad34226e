#pragma once

#include <QByteArray>

#include <memory>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zx::db {

class SqlConnection;

// The compiled statements of one SQLite connection, kept for the next
// statement of the same text: the loads look parameters up by a handful of
// statements, and compiling one costs more than running it. A statement
// kept here is reset, so it holds no lock. It owns the connection, so that
// every statement is finalized before the connection closes.
class SqliteStatements {
public:
    SqliteStatements(std::shared_ptr<SqlConnection> connection, sqlite3* handle);
    ~SqliteStatements();
    SqliteStatements(const SqliteStatements&) = delete;
    SqliteStatements& operator=(const SqliteStatements&) = delete;

    sqlite3* handle() const { return m_handle; }

    // A statement for `sql`: a kept one, or a newly compiled one (SQLite's
    // result code in *code; nullptr when it failed). *tail is where the
    // compiled text ended.
    sqlite3_stmt* take(const QByteArray& sql, int* code, const char** tail);
    // Gives back a statement taken for `sql`; it is reset and kept, or
    // finalized when enough are kept.
    void give(const QByteArray& sql, sqlite3_stmt* statement);

private:
    std::shared_ptr<SqlConnection> m_connection;
    sqlite3* m_handle;
    std::vector<std::pair<QByteArray, sqlite3_stmt*>> m_kept;  // oldest first
};

}  // namespace zx::db
