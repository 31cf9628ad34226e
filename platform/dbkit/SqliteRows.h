#pragma once

#include "RowSource.h"

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace zx::db {

class SqlConnection;

// The rows of a statement read straight from SQLite's handle: QtSql's
// per-row bookkeeping costs several times what SQLite itself does.
class SqliteRows final : public RowSource {
public:
    SqliteRows(std::shared_ptr<SqlConnection> connection, sqlite3* handle, const QString& sql,
               const QString& sent, const QVariantList& params);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    QStringList columns() const override { return m_columns; }
    bool isTextColumn(int column) const override { return m_text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    int bind(int index, const QVariant& value);
    [[noreturn]] void fail();

    std::shared_ptr<SqlConnection> m_connection;  // owns the handle
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    QStringList m_columns;
    QList<bool> m_text;
};

// SQLite's message for a failure, naming the fault it came from, with what a
// lock means for the caller.
QString sqliteReason(int code, const QString& message);

}  // namespace zx::db
