#pragma once

#include "SqlDatabase.h"

#include <QList>

namespace zx::db {

class BufferedRows;
class ConnectionText;
class SqlConnection;

// A database reached through ODBC (Qt's driver): transactions are the
// driver's (autocommit off), never BEGIN/COMMIT texts. The text it reports
// names first the database the server says it is connected to:
//   Provider=ODBC;Database=<current database>;<the ODBC keys>
// This class serves a server it does not know; the seams of the servers it
// knows derive from it.
class OdbcDatabase : public SqlDatabase {
public:
    // Connects to the data source that `text` (Provider=ODBC and the ODBC
    // keys: DSN=... or DRIVER=...) names, through the seam of its server.
    static std::unique_ptr<HostDatabase> open(const ConnectionText& text);
    ~OdbcDatabase() override;

protected:
    struct Dialect {
        QString systemSchema;     // empty: zxsystem..table stays as written
        QString currentDatabase;  // the query that names the current database
        QString lockTimeout;      // the statement that bounds waiting for a lock
        bool keepsOneResult;      // whether open results must be read out first
    };
    OdbcDatabase(std::shared_ptr<SqlConnection> connection, const ConnectionText& text,
                 const Dialect& dialect);

    const std::shared_ptr<SqlConnection>& connection() const { return m_connection; }
    void run(const QString& sql, const QString& sent, const QVariantList& params = {}) override;
    QString sent(const QString& sql) const override;
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    std::unique_ptr<RowSource> rows(const QString& sql, const QString& sent,
                                    const QVariantList& params) override;
    void beforeStatement() override;

private:
    std::shared_ptr<SqlConnection> m_connection;
    Dialect m_dialect;
    std::shared_ptr<QList<BufferedRows*>> m_pending;
};

}  // namespace zx::db
