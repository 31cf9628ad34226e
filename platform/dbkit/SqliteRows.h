#pragma once

#include "RowSource.h"
#include "SqliteStatements.h"

#include <QByteArray>

#include <memory>

struct sqlite3_stmt;

namespace zx::db {

// The rows of a statement, read straight from SQLite. The first row is read
// when it is made: only that step tells which columns the rows hold.
class SqliteRows final : public RowSource {
public:
    SqliteRows(std::shared_ptr<SqliteStatements> statements, const QString& sql,
               const QString& sent, const QVariantList& params);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    QStringList columns() const override { return m_columns.names; }
    bool isTextColumn(int column) const override { return m_columns.text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    // The next row; false at the end, where the statement is released.
    bool step();
    // The statement is kept for the next one of its text.
    void release();
    [[noreturn]] void fail(const QString& why);

    std::shared_ptr<SqliteStatements> m_statements;  // owns the handle
    QByteArray m_sent;
    sqlite3_stmt* m_statement = nullptr;
    QString m_sql;
    SqliteColumns m_columns;
    bool m_stepped = false;     // the columns are those of this run
    bool m_rowWaiting = false;  // the first step's row, not yet read
};

}  // namespace zx::db
