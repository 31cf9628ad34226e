#include "SqliteDatabase.h"

#include "ConnectionText.h"
#include "KeyedScan.h"
#include "QueryRows.h"
#include "SqlConnection.h"
#include "SqlText.h"
#include "SqliteLibrary.h"
#include "SqliteRows.h"
#include "core/Error.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

#include <sqlite3.h>

namespace zx::db {

namespace {

const QString DataSource = QStringLiteral("Data Source");
const QString SystemDatabase = QStringLiteral("System Database");

std::unique_ptr<RowSource> sqliteRows(const std::shared_ptr<SqlConnection>& connection,
                                      sqlite3* handle, const QString& sql, const QString& sent,
                                      const QVariantList& params) {
    if (handle)
        return std::make_unique<SqliteRows>(connection, handle, sql, sent, params);
    return std::make_unique<QueryRows>(connection, sql, sent, params);
}

// A table's rows by rowid, which is the order a plain scan of it meets them
// in; a scan of a covering index or of a view is another order.
KeyedScan::Dialect dialect(const KeyedScan::Run& run) {
    return {
        QStringLiteral("_rowid_"),
        QStringLiteral("_rowid_ > ?"),
        [](const QString& column, int count) {
            QStringList marks;
            for (int i = 0; i < count; ++i)
                marks << QStringLiteral("?");
            return column + QStringLiteral(" COLLATE NOCASE IN (") + marks.join(QLatin1Char(',')) +
                   QLatin1Char(')');
        },
        [run](const QString& table, const QStringList& columns) {
            if (columns.contains(QStringLiteral("_rowid_"), Qt::CaseInsensitive))
                return false;
            try {
                run(QStringLiteral("SELECT _rowid_ FROM %1 LIMIT 0").arg(table), {});
                auto plan =
                    run(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM %1").arg(table), {});
                std::vector<Value> step;
                if (!plan->next(step) || step.size() < 4)
                    return false;
                static const QRegularExpression scan(QStringLiteral("^SCAN (TABLE )?(\\w+)$"));
                const auto match = scan.match(step.back().textOrEmpty());
                step.clear();
                return match.hasMatch() &&
                       match.captured(2).compare(table, Qt::CaseInsensitive) == 0 &&
                       !plan->next(step);
            } catch (const Error&) {  // no rowid: a WITHOUT ROWID table, a view
                return false;
            }
        },
    };
}

}  // namespace

SqliteDatabase::SqliteDatabase(const ConnectionText& text)
    : SqlDatabase(std::make_shared<SqlConnection>(QStringLiteral("QSQLITE"))) {
    const QString path = text.value(DataSource);
    if (path.isEmpty())
        throw Error(QStringLiteral("the connection text names no Data Source"));
    const QFileInfo file(path);
    if (!file.isAbsolute())
        throw Error(QStringLiteral("the Data Source must be an absolute path: %1").arg(path));
    // QSQLITE would create a missing file; an account is never created here.
    if (!file.isFile())
        throw Error(QStringLiteral("account database not found: %1").arg(path));
    QString systemPath = text.value(SystemDatabase);
    if (systemPath.isEmpty())
        systemPath = file.absolutePath() + QStringLiteral("/zxsystem.db");
    const QFileInfo system(systemPath);
    if (!system.isFile())
        throw Error(QStringLiteral("system database not found: %1").arg(systemPath));

    QSqlDatabase& db = connection()->db();
    db.setDatabaseName(file.absoluteFilePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw Error(QStringLiteral("cannot open %1: %2").arg(path, driverText(db.lastError())));
    m_handle = sqliteHandle(db);
    run(QStringLiteral("ATTACH DATABASE ? AS zxsystem"),
        QStringLiteral("ATTACH DATABASE ? AS zxsystem"), {system.absoluteFilePath()});

    ConnectionText reported;
    reported.append(QStringLiteral("Provider"), QStringLiteral("SQLite"));
    reported.append(QStringLiteral("Database"), file.completeBaseName());
    reported.append(DataSource, file.absoluteFilePath());
    reported.append(SystemDatabase, system.absoluteFilePath());
    setConnectionText(reported.toString());
}

QString SqliteDatabase::sent(const QString& sql) const {
    return rewriteSystemPrefix(sql, QStringLiteral("zxsystem"));
}

// IMMEDIATE takes the write lock now, so a second writer waits for the
// busy timeout here instead of failing at its first write.
void SqliteDatabase::beginTransaction() {
    run(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteDatabase::commitTransaction() {
    run(QStringLiteral("COMMIT"), QStringLiteral("COMMIT"));
}

void SqliteDatabase::rollbackTransaction() {
    run(QStringLiteral("ROLLBACK"), QStringLiteral("ROLLBACK"));
}

std::unique_ptr<RowSource> SqliteDatabase::rows(const QString& sql, const QString& sent,
                                                const QVariantList& params) {
    return sqliteRows(connection(), m_handle, sql, sent, params);
}

std::shared_ptr<KeyedScan> SqliteDatabase::keyedScan(const QString& sent, const RowSource& scan) {
    KeyedScan::Run run = [connection = connection(), handle = m_handle](
                             const QString& sql, const QVariantList& params) {
        return sqliteRows(connection, handle, sql, sql, params);
    };
    return KeyedScan::of(sent, scan, dialect(run), run);
}

}  // namespace zx::db
