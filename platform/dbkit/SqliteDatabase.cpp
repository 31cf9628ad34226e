#include "SqliteDatabase.h"

#include "ConnectionText.h"
#include "KeyedScan.h"
#include "SqlText.h"
#include "SqliteRows.h"
#include "SqliteStatements.h"
#include "core/Ascii.h"
#include "core/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>

namespace zx::db {

namespace {

// Long enough for another writer's ordinary commit, short enough that a
// user who pressed Finish is told what is wrong.
constexpr int DefaultBusyTimeout = 5000;

const QString DataSource = QStringLiteral("Data Source");
const QString SystemDatabase = QStringLiteral("System Database");
const QString BusyTimeout = QStringLiteral("Busy Timeout");
const QString InMemory = QStringLiteral("In Memory");

// The wait for another connection's lock that the text asks for. Throws for
// a key an SQLite text does not have: a mistyped key is no default.
int busyTimeoutOf(const ConnectionText& text) {
    const QStringList keys{QStringLiteral("Provider"),
                           QStringLiteral("Database"),
                           DataSource,
                           SystemDatabase,
                           BusyTimeout,
                           InMemory};
    for (const auto& pair : text.pairs())
        if (!keys.contains(pair.first, Qt::CaseInsensitive))
            throw Error(
                QStringLiteral("unknown key \"%1\" in an SQLite connection text").arg(pair.first));
    if (!text.contains(BusyTimeout))
        return DefaultBusyTimeout;
    bool ok = false;
    const int timeout = text.value(BusyTimeout).toInt(&ok);
    if (!ok || timeout < 0)
        throw Error(QStringLiteral("the Busy Timeout must be milliseconds: %1")
                        .arg(text.value(BusyTimeout)));
    return timeout;
}

// The table of a query plan's step "SCAN <table>" (or, before SQLite
// 3.36, "SCAN TABLE <table>"); empty for any other step.
QString scannedTable(const QString& step) {
    QStringView name(step);
    if (!name.startsWith(u"SCAN "))
        return {};
    name = name.mid(5);
    if (name.startsWith(u"TABLE ") && name.size() > 6)
        name = name.mid(6);
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), ascii::isWordChar))
        return {};
    return name.toString();
}

// A table's rows by rowid, which is the order a plain scan of it meets them
// in; a scan of a covering index or of a view is another order.
KeyedScan::Dialect dialect(const KeyedScan::Run& run) {
    return {
        QStringLiteral("_rowid_"),
        QStringLiteral("_rowid_ > ?"),
        QStringLiteral("%1 COLLATE NOCASE"),
        QStringLiteral("?"),
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
                const bool scansTable =
                    scannedTable(step.back().textOrEmpty()).compare(table, Qt::CaseInsensitive) ==
                    0;
                step.clear();
                return scansTable && !plan->next(step);
            } catch (const Error&) {  // no rowid: a WITHOUT ROWID table, a view
                return false;
            }
        },
        // A single text stays an equality, cheaper to run than any list.
        {1, 8, 16},
    };
}

// A copy in memory of the file `source` has open as "main": the file is
// then only read, and what the copy is written vanishes with it.
sqlite3* copyInMemory(sqlite3* source, const QString& path) {
    sqlite3_int64 size = 0;
    unsigned char* bytes = sqlite3_serialize(source, "main", &size, 0);
    if (!bytes)
        throw Error(QStringLiteral("cannot read %1 into memory: %2")
                        .arg(path, QString::fromUtf8(sqlite3_errmsg(source))));
    // A copy in memory keeps no write-ahead log: it is read as a rollback
    // journal database.
    if (size >= 20 && bytes[18] == 2 && bytes[19] == 2)
        bytes[18] = bytes[19] = 1;
    sqlite3* copy = nullptr;
    int done =
        sqlite3_open_v2(":memory:", &copy,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (done == SQLITE_OK)  // takes the bytes over, also when it fails
        done = sqlite3_deserialize(copy, "main", bytes, size, size,
                                   SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
    else
        sqlite3_free(bytes);
    if (done != SQLITE_OK) {
        const QString why = QString::fromUtf8(copy ? sqlite3_errmsg(copy) : sqlite3_errstr(done));
        sqlite3_close(copy);
        throw Error(QStringLiteral("cannot read %1 into memory: %2").arg(path, why));
    }
    return copy;
}

}  // namespace

SqliteDatabase::SqliteDatabase(const ConnectionText& text) {
    const int timeout = busyTimeoutOf(text);
    const QString path = text.value(DataSource);
    if (path.isEmpty())
        throw Error(QStringLiteral("the connection text names no Data Source"));
    const QFileInfo file(path);
    if (!file.isAbsolute())
        throw Error(QStringLiteral("the Data Source must be an absolute path: %1").arg(path));
    // Checked here for the message: the open below would not create it either.
    if (!file.isFile())
        throw Error(QStringLiteral("account database not found: %1").arg(path));
    QString systemPath = text.value(SystemDatabase);
    if (systemPath.isEmpty())
        systemPath = file.absolutePath() + QStringLiteral("/zxsystem.db");
    const QFileInfo system(systemPath);
    if (!system.isFile())
        throw Error(QStringLiteral("system database not found: %1").arg(systemPath));

    const QString inMemoryValue = text.value(InMemory);
    if (!inMemoryValue.isEmpty() && inMemoryValue != QLatin1String("0") &&
        inMemoryValue != QLatin1String("1"))
        throw Error(QStringLiteral("In Memory is 0 or 1: %1").arg(inMemoryValue));
    const bool inMemory = inMemoryValue == QLatin1String("1");

    // A connection is used by one thread at a time: SQLite need not lock it
    // on every call.
    sqlite3* handle = nullptr;
    const int opened =
        sqlite3_open_v2(QFile::encodeName(file.absoluteFilePath()).constData(), &handle,
                        (inMemory ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                            SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                        nullptr);
    // Even a failed open hands out a connection, to be asked why and closed.
    m_statements = std::make_shared<SqliteStatements>(handle);
    if (opened != SQLITE_OK)
        throw Error(QStringLiteral("cannot open %1: %2").arg(path, m_statements->failure()));
    sqlite3_busy_timeout(handle, timeout);
    // SQLite reads a file only when asked: ask now, so that a damaged or
    // foreign file is reported as itself rather than at the attach.
    if (const QString why = m_statements->run("SELECT count(*) FROM sqlite_master"); !why.isEmpty())
        throw Error(QStringLiteral("cannot read the account database %1: %2")
                        .arg(file.absoluteFilePath(), why));
    if (inMemory) {
        m_statements = std::make_shared<SqliteStatements>(
            copyInMemory(m_statements->handle(), file.absoluteFilePath()));
        sqlite3_busy_timeout(m_statements->handle(), timeout);
    }
    if (system.canonicalFilePath() == file.canonicalFilePath()) {
        m_system = QStringLiteral("main");
    } else {
        const QString uri = QStringLiteral("file:") +
                            QString::fromLatin1(QUrl::toPercentEncoding(system.absoluteFilePath(),
                                                                        QByteArrayLiteral("/"))) +
                            QStringLiteral("?mode=ro");
        if (const QString why = m_statements->run("ATTACH DATABASE ? AS zxsystem", {uri});
            !why.isEmpty())
            throw Error(QStringLiteral("cannot attach the system database %1: %2")
                            .arg(system.absoluteFilePath(), why));
    }

    ConnectionText reported;
    reported.append(QStringLiteral("Provider"), QStringLiteral("SQLite"));
    reported.append(QStringLiteral("Database"), file.completeBaseName());
    reported.append(DataSource, file.absoluteFilePath());
    reported.append(SystemDatabase, system.absoluteFilePath());
    if (text.contains(BusyTimeout))
        reported.append(BusyTimeout, QString::number(timeout));
    if (inMemory)
        reported.append(InMemory, QStringLiteral("1"));
    setConnectionText(reported.toString());
}

sqlite3* SqliteDatabase::handle() const {
    return m_statements->handle();
}

void SqliteDatabase::run(const QString& sql, const QString& sent, const QVariantList& params) {
    if (const QString why = m_statements->run(sent.toUtf8(), params); !why.isEmpty())
        failSql(sql, why);
}

QString SqliteDatabase::sent(const QString& sql) const {
    return rewriteSystemPrefix(sql, m_system);
}

// IMMEDIATE takes the write lock now, so a second writer waits for the
// busy timeout here instead of failing at its first write.
void SqliteDatabase::beginTransaction() {
    run(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteDatabase::commitTransaction() {
    run(QStringLiteral("COMMIT"), QStringLiteral("COMMIT"));
}

// On a full disk and some I/O errors SQLite has rolled the transaction back
// itself; that is the outcome asked for, and the error that caused it is
// the one to report, not a second one from here.
void SqliteDatabase::rollbackTransaction() {
    if (sqlite3_get_autocommit(handle()))
        return;
    run(QStringLiteral("ROLLBACK"), QStringLiteral("ROLLBACK"));
}

std::unique_ptr<RowSource> SqliteDatabase::rows(const QString& sql, const QString& sent,
                                                const QVariantList& params) {
    return std::make_unique<SqliteRows>(m_statements, sql, sent, params);
}

std::shared_ptr<KeyedScan> SqliteDatabase::keyedScan(const QString& sent, const RowSource& scan) {
    KeyedScan::Run run = [statements = m_statements](const QString& sql,
                                                     const QVariantList& params) {
        return std::make_unique<SqliteRows>(statements, sql, sql, params);
    };
    return KeyedScan::of(sent, scan, dialect(run), run);
}

}  // namespace zx::db
