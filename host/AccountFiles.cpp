#include "AccountFiles.h"

#include "core/Error.h"
#include "dbkit/ConnectionText.h"
#include "dbkit/QtSqlDatabase.h"
#include "dbkit/SqliteStatements.h"
#include "dbkit/TransactionGuard.h"
#include "wizard/AccountTables.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <sys/stat.h>
#include <memory>

// The bundled files live in this static library; register them once.
static void registerBundledFiles() {
    Q_INIT_RESOURCE(resources);
}

namespace zx::host {

void initBundledFiles() {
    static const bool done = (registerBundledFiles(), true);
    Q_UNUSED(done);
}

namespace {

QStringList statementsOf(const QString& resource) {
    initBundledFiles();
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("missing bundled file %1").arg(resource));
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            lines << line;
    QStringList statements;
    static const QRegularExpression end(QStringLiteral(";\\s*$"),
                                        QRegularExpression::MultilineOption);
    for (const QString& statement : lines.join(QLatin1Char('\n')).split(end))
        if (!statement.trimmed().isEmpty())
            statements << statement.trimmed();
    return statements;
}

// A scratch SQLite file that becomes `target` only when everything in it
// succeeded; nothing is left behind otherwise.
class ScratchFile {
public:
    explicit ScratchFile(const QString& target)
        : m_target(target), m_scratch(target + QStringLiteral(".creating")) {
        QFile::remove(m_scratch);
        sqlite3* handle = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(m_scratch).constData(), &handle,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        // Even a failed open hands out a connection, to be asked why and closed.
        m_db = std::make_unique<db::SqliteStatements>(handle);
        if (opened != SQLITE_OK) {
            const QString why = m_db->failure();
            m_db.reset();
            QFile::remove(m_scratch);
            throw Error(QStringLiteral("cannot create %1: %2").arg(m_scratch, why));
        }
    }
    ~ScratchFile() {
        m_db.reset();
        if (!m_done)
            QFile::remove(m_scratch);
    }

    void run(const QString& resource) {
        for (const QString& statement : statementsOf(resource))
            if (const QString why = m_db->run(statement.toUtf8()); !why.isEmpty())
                throw Error(QStringLiteral("%1: %2 (%3)").arg(resource, statement, why));
    }

    void runText(const QString& statement, const QVariantList& params = {}) {
        if (const QString why = m_db->run(statement.toUtf8(), params); !why.isEmpty())
            throw Error(QStringLiteral("%1 (%2)").arg(statement, why));
    }

    void commit() {
        m_db.reset();
        if (QFileInfo::exists(m_target))
            throw Error(QStringLiteral("%1 appeared while it was being created").arg(m_target));
        if (!QFile::rename(m_scratch, m_target))
            throw Error(QStringLiteral("cannot create %1").arg(m_target));
        m_done = true;
    }

private:
    QString m_target, m_scratch;
    std::unique_ptr<db::SqliteStatements> m_db;  // closes the connection
    bool m_done = false;
};

// The twelve periods of `year` for `account`: `insertInto` ("INSERT INTO
// table") completed with one row of bound values, handed to `run`.
template <class Run>
void insertPeriods(const QString& insertInto, const QString& account, int year, Run&& run) {
    const QString sql =
        insertInto + QStringLiteral(" (cAcc_Id,iYear,iId,dBegin,dEnd) VALUES (?,?,?,?,?)");
    for (int month = 1; month <= 12; ++month) {
        const QDate begin(year, month, 1);
        run(sql, QVariantList{account, year, month, begin.toString(Qt::ISODate),
                              begin.addMonths(1).addDays(-1).toString(Qt::ISODate)});
    }
}

void checkAccountNumbers(const QString& account, const QString& year) {
    const QString problem = accountNumbersProblem(account, year);
    if (!problem.isEmpty())
        throw Error(problem);
}

// Paths are the user's: braced by the builder, a ';' in a folder name
// cannot add a key.
QString sqliteText(const QString& dataSource, const QString& systemDatabase,
                   bool inMemory = false) {
    db::ConnectionText text;
    text.append(QStringLiteral("Provider"), QStringLiteral("SQLite"));
    text.append(QStringLiteral("Data Source"), QFileInfo(dataSource).absoluteFilePath());
    if (!systemDatabase.isEmpty())
        text.append(QStringLiteral("System Database"),
                    QFileInfo(systemDatabase).absoluteFilePath());
    if (inMemory)
        text.append(QStringLiteral("In Memory"), QStringLiteral("1"));
    return text.toString();
}

QString odbcText(const QString& odbc) {
    QString error;
    const auto text = db::ConnectionText::forOdbc(odbc, &error);
    if (!text)
        throw Error(error);
    return text->toString();
}

}  // namespace

QString accountNumbersProblem(const QString& account, const QString& year) {
    static const QRegularExpression accountForm(QStringLiteral("^[0-9A-Za-z]{3}$"));
    if (!accountForm.match(account).hasMatch())
        return QStringLiteral("the account number must be 3 letters or digits: \"%1\"")
            .arg(account);
    static const QRegularExpression yearForm(QStringLiteral("^[0-9]{4}$"));
    if (!yearForm.match(year).hasMatch())
        return QStringLiteral("the year must be 4 digits: \"%1\"").arg(year);
    return {};
}

CreatedAccount createAccount(const QString& dir, const QString& account, const QString& year) {
    checkAccountNumbers(account, year);
    if (!QDir().mkpath(dir))
        throw Error(QStringLiteral("cannot create the folder %1").arg(dir));

    CreatedAccount created;
    const QDir folder(dir);
    created.accountFile =
        folder.absoluteFilePath(QStringLiteral("ZXDATA_%1_%2.db").arg(account, year));
    created.systemFile = folder.absoluteFilePath(QStringLiteral("zxsystem.db"));
    if (QFileInfo::exists(created.accountFile))
        throw Error(QStringLiteral("%1 already exists; an account is never overwritten")
                        .arg(created.accountFile));

    {
        ScratchFile accountDb(created.accountFile);
        accountDb.runText(QStringLiteral("BEGIN"));
        accountDb.run(QStringLiteral(":/sql/account-schema.sql"));
        accountDb.run(QStringLiteral(":/sql/account-defaults.sql"));
        accountDb.runText(QStringLiteral("COMMIT"));
        if (!QFileInfo::exists(created.systemFile)) {
            ScratchFile systemDb(created.systemFile);
            systemDb.run(QStringLiteral(":/sql/system-schema.sql"));
            insertPeriods(
                QStringLiteral("INSERT INTO ua_period"), account, year.toInt(),
                [&](const QString& sql, const QVariantList& row) { systemDb.runText(sql, row); });
            systemDb.commit();
            created.systemCreated = true;
        } else {
            // Another account's system database: add this year's periods.
            // In one transaction: a failure half way leaves no periods of an
            // account that was not created.
            auto system = db::openDatabase(sqliteText(created.systemFile, created.systemFile));
            db::TransactionGuard transaction(*system);
            insertPeriods(
                QStringLiteral("INSERT OR IGNORE INTO ua_period"), account, year.toInt(),
                [&](const QString& sql, const QVariantList& row) { system->Execute(sql, row); });
            transaction.commit();
        }
        accountDb.commit();
    }
    return created;
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo first(a), second(b);
    if (!first.exists() || !second.exists())
        return false;
    if (first.canonicalFilePath() == second.canonicalFilePath())
        return true;
    struct stat x {
    }, y{};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

namespace {

// Who logs in does not change which database is reached.
bool namesLogin(const QString& key) {
    for (const char* login : {"UID", "User", "Username", "PWD", "Password"})
        if (key.compare(QLatin1String(login), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::optional<QStringList> serverAccountKeys(const QString& odbc) {
    const auto text = db::ConnectionText::forOdbc(odbc, nullptr);
    if (!text)
        return std::nullopt;
    QStringList pairs;
    for (const auto& [key, value] : text->pairs()) {
        // Of a key given twice the first counts, as on connecting.
        if (!namesLogin(key) && text->value(key) == value &&
            !pairs.contains(key.toLower() + QLatin1Char('=') + value))
            pairs << key.toLower() + QLatin1Char('=') + value;
    }
    pairs.sort();
    return pairs;
}

}  // namespace

bool sameServerAccount(const QString& a, const QString& b) {
    const auto first = serverAccountKeys(a);
    return first && first == serverAccountKeys(b);
}

void runSqlResource(db::HostDatabase& database, const QString& resource) {
    for (const QString& statement : statementsOf(resource))
        database.Execute(statement);
}

void addDemoData(const QString& accountFile, const QString& year) {
    auto database = openAccount(accountFile, QString());
    database->BeginTrans();
    runSqlResource(*database, QStringLiteral(":/sql/demo-data.sql"));
    // Purchasing started in March: the sales month is derived, not chosen.
    database->Execute(
        QStringLiteral(
            "Update AccInformation set cValue=? Where cSysID='PU' and cName='dPUStartDate'"),
        {year + QStringLiteral("-3-1")});
    database->CommitTrans();
}

namespace {

// A database is an account when every table the wizard uses can be read.
// One statement reads them all; only when it fails is each table read on
// its own, to name the one at fault.
void checkAccountTables(db::HostDatabase& database, const QString& name) {
    QStringList tables;
    QStringList reads;
    for (const wizard::AccountTable& required : wizard::AccountTables) {
        tables << QLatin1String(required.name);
        reads << QStringLiteral("select 1 from %1 where 1=0").arg(tables.back());
    }
    try {
        database.OpenRecordset(reads.join(QLatin1String(" union all ")));
        return;
    } catch (const Error&) {
    }
    for (const QString& table : std::as_const(tables)) {
        try {
            database.OpenRecordset(QStringLiteral("select * from %1 where 1=0").arg(table));
        } catch (const Error& error) {
            // The database's own words say whether the table is missing or
            // the reading failed (a lock, a lost connection, no right to read).
            throw Error(QStringLiteral("cannot read table %1 of the account %2: %3")
                            .arg(table, name, error.message()));
        }
    }
}

}  // namespace

std::unique_ptr<db::HostDatabase> openAccount(const QString& accountFile, const QString& systemFile,
                                              bool inMemory) {
    const QFileInfo file(accountFile);
    if (!file.exists())
        throw Error(QStringLiteral("account database not found: %1").arg(accountFile));
    if (!file.isFile() || !file.isReadable())
        throw Error(QStringLiteral("account database is not a readable file: %1").arg(accountFile));
    // The kit attaches zxsystem.db beside the account when none is named.
    const QString system =
        systemFile.isEmpty() ? file.absolutePath() + QStringLiteral("/zxsystem.db") : systemFile;
    if (!QFileInfo::exists(system))
        throw Error(QStringLiteral("system database not found: %1").arg(system));
    if (!QFileInfo(system).isFile())
        throw Error(QStringLiteral("system database is not a regular file: %1").arg(system));
    // A link to the account itself would wait on its own lock or write
    // periods into the account.
    if (sameFile(accountFile, system))
        throw Error(
            QStringLiteral("the system database is the account database itself: %1").arg(system));
    auto database = db::openDatabase(sqliteText(accountFile, systemFile, inMemory));
    checkAccountTables(*database, accountFile);
    return database;
}

std::unique_ptr<db::HostDatabase> openOdbcAccount(const QString& odbc) {
    auto database = db::openDatabase(odbcText(odbc));
    checkAccountTables(*database, db::maskedConnectionText(odbc));
    return database;
}

void createPostgreSqlAccount(const QString& odbc, const QString& account, const QString& year) {
    checkAccountNumbers(account, year);
    auto database = db::openDatabase(odbcText(odbc));
    bool exists = true;
    try {
        database->OpenRecordset(QStringLiteral("select * from AccInformation where 1=0"));
    } catch (const Error&) {
        exists = false;
    }
    if (exists)
        throw Error(QStringLiteral("%1 already holds an account; an account is never overwritten")
                        .arg(db::maskedConnectionText(odbc)));
    database->BeginTrans();
    runSqlResource(*database, QStringLiteral(":/sql/postgresql/account-schema.sql"));
    runSqlResource(*database, QStringLiteral(":/sql/account-defaults.sql"));
    runSqlResource(*database, QStringLiteral(":/sql/postgresql/system-schema.sql"));
    database->Execute(QStringLiteral("DELETE FROM zxsystem..ua_period WHERE cAcc_Id=? AND iYear=?"),
                      {account, year.toInt()});
    insertPeriods(
        QStringLiteral("INSERT INTO zxsystem..ua_period"), account, year.toInt(),
        [&](const QString& sql, const QVariantList& row) { database->Execute(sql, row); });
    database->CommitTrans();
}

}  // namespace zx::host
