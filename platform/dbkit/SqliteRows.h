#pragma once

#include "RowSource.h"

#include <QByteArray>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace zx::db {

class SqliteStatements;

// The rows of a statement read straight from SQLite's handle: QtSql's
// per-row bookkeeping costs several times what SQLite itself does.
class SqliteRows final : public RowSource {
public:
    SqliteRows(std::shared_ptr<SqliteStatements> statements, const QString& sql,
               const QString& sent, const QVariantList& params);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    QStringList columns() const override { return m_columns; }
    bool isTextColumn(int column) const override { return m_text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    int bind(int index, const QVariant& value);
    // The statement is kept for the next one of its text.
    void release();
    [[noreturn]] void fail();

    std::shared_ptr<SqliteStatements> m_statements;  // owns the handle
    sqlite3* m_db;
    QByteArray m_sent;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    QStringList m_columns;
    QList<bool> m_text;
};

// SQLite's message for a failure, naming the fault it came from, with what a
// lock means for the caller.
QString sqliteReason(int code, const QString& message);

}  // namespace zx::db
