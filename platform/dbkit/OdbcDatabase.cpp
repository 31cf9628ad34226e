#include "OdbcDatabase.h"

#include "BufferedRows.h"
#include "ConnectionText.h"
#include "PostgresDatabase.h"
#include "QueryRows.h"
#include "SqlConnection.h"
#include "SqlServerDatabase.h"
#include "SqlText.h"
#include "core/Error.h"

#include <QSqlDriver>
#include <QSqlError>

namespace zx::db {

std::unique_ptr<HostDatabase> OdbcDatabase::open(const QString& connectionText,
                                                 const ConnectionText& text) {
    const QString odbc = text.withoutProvider();
    auto connection = std::make_shared<SqlConnection>(QStringLiteral("QODBC"));
    QSqlDatabase& db = connection->db();
    db.setDatabaseName(odbc);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_ODBC_VERSION=SQL_OV_ODBC3"));
    if (!db.open())
        throw Error(
            QStringLiteral("cannot connect to %1: %2")
                .arg(maskedConnectionText(odbc), maskedConnectionText(driverText(db.lastError()))));
    switch (db.driver()->dbmsType()) {
        case QSqlDriver::MSSqlServer:
            return std::make_unique<SqlServerDatabase>(connection, connectionText);
        case QSqlDriver::PostgreSQL:
            return std::make_unique<PostgresDatabase>(connection, connectionText);
        default:
            return std::unique_ptr<HostDatabase>(
                new OdbcDatabase(connection, connectionText, {QStringLiteral("zxsystem"), true}));
    }
}

OdbcDatabase::OdbcDatabase(std::shared_ptr<SqlConnection> connection, const QString& connectionText,
                           const Dialect& dialect)
    : SqlDatabase(std::move(connection)),
      m_dialect(dialect),
      m_pending(std::make_shared<QList<BufferedRows*>>()) {
    setConnectionText(connectionText);
}

OdbcDatabase::~OdbcDatabase() = default;

QString OdbcDatabase::sent(const QString& sql) const {
    return m_dialect.systemSchema.isEmpty() ? sql
                                            : rewriteSystemPrefix(sql, m_dialect.systemSchema);
}

void OdbcDatabase::beginTransaction() {
    if (!connection()->db().transaction())
        throw Error(QStringLiteral("cannot begin a transaction: %1")
                        .arg(driverText(connection()->db().lastError())));
}

void OdbcDatabase::commitTransaction() {
    if (!connection()->db().commit())  // its return, not lastError(), tells
        throw Error(
            QStringLiteral("commit failed: %1").arg(driverText(connection()->db().lastError())));
}

void OdbcDatabase::rollbackTransaction() {
    if (connection()->db().rollback())
        return;
    // A lost connection: the server has discarded the transaction.
    const QSqlError error = connection()->db().lastError();
    if (error.type() == QSqlError::ConnectionError ||
        error.nativeErrorCode().startsWith(QLatin1String("08")))
        return;
    throw Error(QStringLiteral("rollback failed: %1").arg(driverText(error)));
}

std::unique_ptr<RowSource> OdbcDatabase::rows(const QString& sql, const QString& sent,
                                              const QVariantList& params) {
    auto rows = std::make_unique<QueryRows>(connection(), sql, sent, params);
    if (!m_dialect.keepsOneResult)
        return rows;
    return std::make_unique<BufferedRows>(std::move(rows), m_pending);
}

void OdbcDatabase::beforeStatement() {
    const auto pending = *m_pending;
    for (BufferedRows* rows : pending)
        rows->drain();
}

}  // namespace zx::db
