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
#include <QSqlQuery>

namespace zx::db {

namespace {

bool isKey(const QString& key, QLatin1String name) {
    return key.compare(name, Qt::CaseInsensitive) == 0;
}

// A value as ODBC reads it: braces only where a bare value would end early
// or lose blanks, since drivers do not unbrace every key.
QString odbcValue(const QString& value) {
    const bool braces = value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{')) ||
                        value != value.trimmed();
    return braces ? QLatin1Char('{') +
                        QString(value).replace(QLatin1String("}"), QLatin1String("}}")) +
                        QLatin1Char('}')
                  : value;
}

// The text for Qt's ODBC driver, which judges by substrings what it was
// given: a text holding ".dsn" is taken for a file DSN, one without
// "DRIVER=" or "SERVER=" gets "DSN=" put in front of it.
QString qodbcText(const ConnectionText& text) {
    QStringList all, rest;
    QString dsn;
    bool named = false;
    for (const auto& [key, value] : text.pairs()) {
        if (isKey(key, QLatin1String("Provider")))
            continue;
        const QString pair = key + QLatin1Char('=') + odbcValue(value);
        all << pair;
        if (isKey(key, QLatin1String("DSN")) && !named) {
            named = true;
            dsn = value;
        } else {
            rest << pair;
        }
    }
    if (named && odbcValue(dsn) != dsn)
        throw Error(QStringLiteral("a data source name cannot hold ';', open with '{' or have "
                                   "blanks around it: \"%1\"")
                        .arg(dsn));
    const QString joined = all.join(QLatin1Char(';'));
    if (joined.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        throw Error(QStringLiteral("an ODBC connection text holding \".dsn\" anywhere, even in a "
                                   "password or a server name, is taken for a file DSN, which is "
                                   "not supported: %1")
                        .arg(maskedConnectionText(joined)));
    if (joined.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) ||
        joined.contains(QLatin1String("SERVER="), Qt::CaseInsensitive))
        return joined;
    if (!named)
        throw Error(QStringLiteral("the ODBC connection text names no DSN or DRIVER: %1")
                        .arg(maskedConnectionText(joined)));
    return (QStringList{dsn} + rest).join(QLatin1Char(';'));
}

}  // namespace

std::unique_ptr<HostDatabase> OdbcDatabase::open(const ConnectionText& text) {
    const QString odbc = qodbcText(text);
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
            return std::make_unique<SqlServerDatabase>(connection, text);
        case QSqlDriver::PostgreSQL:
            return std::make_unique<PostgresDatabase>(connection, text);
        default:
            return std::unique_ptr<HostDatabase>(
                new OdbcDatabase(connection, text,
                                 {QStringLiteral("zxsystem"),
                                  QStringLiteral("SELECT {fn DATABASE()}"), QString(), true}));
    }
}

OdbcDatabase::OdbcDatabase(std::shared_ptr<SqlConnection> connection, const ConnectionText& text,
                           const Dialect& dialect)
    : m_connection(std::move(connection)),
      m_dialect(dialect),
      m_pending(std::make_shared<QList<BufferedRows*>>()) {
    QString database;
    {
        QSqlQuery query(this->connection()->db());
        if (!query.exec(m_dialect.currentDatabase) || !query.next())
            throw Error(QStringLiteral("the server does not say which database it is connected "
                                       "to: %1")
                            .arg(driverText(query.lastError())));
        database = query.value(0).toString();
        // Another program holding a row the save writes makes the save
        // fail after a while, as on SQLite, instead of waiting for ever.
        if (!m_dialect.lockTimeout.isEmpty() && !query.exec(m_dialect.lockTimeout))
            throw Error(QStringLiteral("cannot bound the wait for locks: %1")
                            .arg(driverText(query.lastError())));
    }
    ConnectionText reported;
    reported.append(QStringLiteral("Provider"), QStringLiteral("ODBC"));
    reported.append(QStringLiteral("Database"), database);
    for (const auto& [key, value] : text.pairs())
        if (!isKey(key, QLatin1String("Provider")))
            reported.append(key, value);
    setConnectionText(reported.toString());
}

OdbcDatabase::~OdbcDatabase() = default;

void OdbcDatabase::run(const QString& sql, const QString& sent, const QVariantList& params) {
    QSqlQuery query(m_connection->db());
    if (!execBound(query, sent, params))
        failSql(sql, m_connection->failure(query.lastError()));
    // An unread write statement would hold back COMMIT.
    query.finish();
}

QString OdbcDatabase::sent(const QString& sql) const {
    return m_dialect.systemSchema.isEmpty() ? sql
                                            : rewriteSystemPrefix(sql, m_dialect.systemSchema);
}

void OdbcDatabase::beginTransaction() {
    if (!connection()->db().transaction())
        throw Error(QStringLiteral("cannot begin a transaction: %1")
                        .arg(connection()->failure(connection()->db().lastError())));
}

void OdbcDatabase::commitTransaction() {
    if (!connection()->db().commit())  // its return, not lastError(), tells
        throw Error(QStringLiteral("commit failed: %1")
                        .arg(connection()->failure(connection()->db().lastError())));
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

// The entry point by which the kit of the same release opens ODBC databases
// once it has loaded this library.
extern "C" zx::db::HostDatabase* ZXDBKIT_ODBC_ENTRY(const zx::db::ConnectionText& text) {
    return zx::db::OdbcDatabase::open(text).release();
}
