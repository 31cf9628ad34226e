#include "SqliteRows.h"

#include "SqlDatabase.h"
#include "SqliteStatements.h"
#include "core/Error.h"

#include <sqlite3.h>

#include <utility>

namespace zx::db {

SqliteRows::SqliteRows(std::shared_ptr<SqliteStatements> statements, const QString& sql,
                       const QString& sent, const QVariantList& params)
    : m_statements(std::move(statements)), m_sent(sent.toUtf8()), m_sql(sql) {
    QString why;
    m_statement = m_statements->prepareBound(&m_sent, params, &why, &m_columns);
    if (!why.isEmpty())
        failSql(sql, why);
    if (m_statement)
        m_rowWaiting = step();
}

SqliteRows::~SqliteRows() {
    release();
}

void SqliteRows::release() {
    m_statements->give(m_sent, m_statement, m_columns);
    m_statement = nullptr;
}

bool SqliteRows::step() {
    const int code = sqlite3_step(m_statement);
    if (code != SQLITE_ROW && code != SQLITE_DONE)
        fail(m_statements->failure());
    // SQLite compiles again only as a run starts. Once rows are handed out,
    // other columns would no longer match the reader's.
    if (m_columns.readAfterStep(m_statement) && m_stepped)
        fail(QStringLiteral("the statement was compiled again while its rows were read"));
    m_stepped = true;
    if (code == SQLITE_DONE) {
        release();  // reset: a finished read holds no lock
        return false;
    }
    return true;
}

bool SqliteRows::next(std::vector<Value>& row) {
    if (!m_statement)
        return false;
    if (!std::exchange(m_rowWaiting, false) && !step())
        return false;
    for (int i = 0; i < int(m_columns.names.size()); ++i) {
        switch (sqlite3_column_type(m_statement, i)) {
            case SQLITE_NULL:
                row.push_back(Value::null());
                break;
            case SQLITE_INTEGER:
                row.push_back(Value(QVariant(qlonglong(sqlite3_column_int64(m_statement, i)))));
                break;
            case SQLITE_FLOAT:
                row.push_back(Value(QVariant(sqlite3_column_double(m_statement, i))));
                break;
            case SQLITE_BLOB:
                row.push_back(Value(QVariant(
                    QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, i)),
                               sqlite3_column_bytes(m_statement, i)))));
                break;
            default:
                row.push_back(Value::ofText(
                    reinterpret_cast<const char*>(sqlite3_column_text(m_statement, i)),
                    sqlite3_column_bytes(m_statement, i)));
        }
    }
    return true;
}

void SqliteRows::fail(const QString& why) {
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    failSql(m_sql, why);
}

}  // namespace zx::db
