#include "TestAccount.h"

#include "AccountFiles.h"
#include "dbkit/QtSqlDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>

namespace {

int g_counter = 0;

// Runs `sql`, or the prepared statement when it is empty.
void run(QSqlQuery& q, const QString& sql, const QString& what = {}) {
    if (!(sql.isEmpty() ? q.exec() : q.exec(sql)))
        throw std::runtime_error(QStringLiteral("test SQL failed: %1 (%2)")
                                     .arg(sql.isEmpty() ? what : sql, q.lastError().text())
                                     .toStdString());
}

QString serverOdbc(const QString& database) {
    return QStringLiteral(
               "Driver={PostgreSQL Unicode};Servername=%1;Port=%2;Database=%3;Uid=postgres")
        .arg(qEnvironmentVariable("ZX_PG_HOST"), qEnvironmentVariable("ZX_PG_PORT"), database);
}

// Statements outside any database: creating and dropping the accounts'.
void onMaintenanceDatabase(const QString& sql) {
    const QString name = QStringLiteral("testaccount-maintenance");
    QSqlDatabase db = QSqlDatabase::contains(name)
                          ? QSqlDatabase::database(name)
                          : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    if (!db.isOpen()) {
        db.setDatabaseName(serverOdbc(QStringLiteral("postgres")));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    QSqlQuery q(db);
    run(q, sql);
}

// A new account is made once per year, then copied: creating one runs
// every statement of the schema.
zx::host::CreatedAccount copyOfNewAccount(const QString& dir, const QString& year) {
    static QTemporaryDir templates;
    static QHash<QString, zx::host::CreatedAccount> made;
    if (!made.contains(year))
        made.insert(year, zx::host::createAccount(templates.filePath(year), "001", year));
    zx::host::CreatedAccount copy;
    for (auto [from, to] : {std::pair{&made[year].accountFile, &copy.accountFile},
                            std::pair{&made[year].systemFile, &copy.systemFile}}) {
        *to = dir + QLatin1Char('/') + QFileInfo(*from).fileName();
        if (!QFile::copy(*from, *to))
            throw std::runtime_error("cannot copy the template account");
    }
    return copy;
}

}  // namespace

bool TestAccount::onServer() {
    return qEnvironmentVariable("ZX_TEST_BACKEND") == QLatin1String("postgres");
}

TestAccount::TestAccount(const QString& year, const QString& fileName) {
    m_connection = QStringLiteral("testaccount-%1").arg(++g_counter);
    if (onServer()) {
        const QString name = fileName.isEmpty() ? QStringLiteral("ZXDATA_001_") + year
                                                : QString(fileName).remove(QStringLiteral(".db"));
        m_serverDatabase = QStringLiteral("%1_t%2_%3").arg(name).arg(::getpid()).arg(g_counter);
        onMaintenanceDatabase(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_serverDatabase));
        m_odbc = serverOdbc(m_serverDatabase);
        zx::host::createPostgreSqlAccount(m_odbc, QStringLiteral("001"), year);
        QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connection).setDatabaseName(m_odbc);
    } else {
        const auto created = copyOfNewAccount(m_dir.path(), year);
        m_path = created.accountFile;
        m_systemPath = created.systemFile;
        if (!fileName.isEmpty()) {
            const QString renamed = m_dir.filePath(fileName);
            QFile::rename(m_path, renamed);
            m_path = renamed;
        }
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection).setDatabaseName(m_path);
    }
    reopen();
}

void TestAccount::reopen() const {
    QSqlDatabase database = db();
    database.close();
    database.open();
    if (!onServer())
        exec(QStringLiteral("ATTACH DATABASE '%1' AS zxsystem").arg(m_systemPath));
}

TestAccount::~TestAccount() {
    db().close();
    QSqlDatabase::removeDatabase(m_connection);
    try {
        if (!m_serverDatabase.isEmpty())
            onMaintenanceDatabase(
                QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(m_serverDatabase));
    } catch (const std::exception&) {  // a leftover database goes with the server
    }
}

QSqlDatabase TestAccount::db() const {
    return QSqlDatabase::database(m_connection, false);
}

QStringList TestAccount::cliArgs() const {
    return onServer() ? QStringList{QStringLiteral("--odbc"), m_odbc}
                      : QStringList{QStringLiteral("--db"), m_path};
}

QString TestAccount::connectionText() const {
    return onServer() ? QStringLiteral("Provider=ODBC;") + m_odbc
                      : QStringLiteral("Provider=SQLite;Data Source=") + m_path;
}

std::unique_ptr<zx::db::HostDatabase> TestAccount::open() const {
    const QString system =
        onServer() ? QString() : QStringLiteral(";System Database=") + m_systemPath;
    return zx::db::openDatabase(connectionText() + system);
}

void TestAccount::exec(const QString& sql) const {
    QSqlQuery q(db());
    run(q, sql);
}

QVariant TestAccount::value(const QString& sql) const {
    QSqlQuery q(db());
    run(q, sql);
    return q.next() && !q.isNull(0) ? q.value(0) : QVariant();
}

QVariant TestAccount::param(const QString& sys, const QString& name) const {
    return value(
        QStringLiteral("select cValue from AccInformation where cSysID='%1' and cName='%2'")
            .arg(sys, name));
}

void TestAccount::setParam(const QString& sys, const QString& name, const QVariant& v,
                           const QString& column) const {
    QSqlQuery q(db());
    q.prepare(
        QStringLiteral("update AccInformation set %1=? where cSysID=? and cName=?").arg(column));
    q.addBindValue(v.isValid() ? v : QVariant(QMetaType::fromType<QString>()));
    q.addBindValue(sys);
    q.addBindValue(name);
    run(q, QString(), sys + QLatin1Char('.') + name);
    if (q.numRowsAffected() != 1)
        throw std::runtime_error(("no parameter " + sys + QLatin1Char('.') + name).toStdString());
}

void TestAccount::given(const QStringList& facts) const {
    for (const QString& fact : facts) {
        const qsizetype at = fact.indexOf(QLatin1Char('='));
        const QStringList key = fact.left(at).split(QLatin1Char('.'));
        const QString value = fact.mid(at + 1);
        setParam(key.value(0), key.value(1),
                 value == QLatin1String("NULL") ? QVariant() : QVariant(value),
                 key.value(2, QStringLiteral("cValue")));
    }
}

QString TestAccount::paramIn(const QString& file, const QString& sys, const QString& name) {
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), file);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select cValue from AccInformation where cSysID=? and cName=?"));
        q.addBindValue(sys);
        q.addBindValue(name);
        run(q, QString(), file);
        value = q.next() ? q.value(0).toString() : QString();
    }
    QSqlDatabase::removeDatabase(file);
    return value;
}

QString TestAccount::dump() const {
    QSqlQuery tables(db());
    run(tables,
        onServer()
            ? QStringLiteral("select table_schema, table_name from information_schema.tables "
                             "where table_schema in ('public','zxsystem') order by 1, 2")
            : QStringLiteral(
                  "select 'main', name from main.sqlite_master where type='table' union all "
                  "select 'zxsystem', name from zxsystem.sqlite_master where type='table' "
                  "order by 1, 2"));
    QStringList names;  // all first: one statement at a time on every driver
    while (tables.next())
        names << tables.value(0).toString() + QLatin1Char('.') + tables.value(1).toString();
    QString out;
    for (const QString& table : names) {
        QSqlQuery rows(db());
        run(rows,
            QStringLiteral("select * from %1.\"%2\"")
                .arg(table.section(QLatin1Char('.'), 0, 0), table.section(QLatin1Char('.'), 1)));
        QStringList lines;
        while (rows.next()) {
            QStringList cells;
            for (int i = 0; i < rows.record().count(); ++i)
                cells << (rows.isNull(i)
                              ? QStringLiteral("NULL")
                              : QLatin1Char('\'') + rows.value(i).toString() + QLatin1Char('\''));
            lines << cells.join(QLatin1Char('|'));
        }
        lines.sort();  // the server keeps no row order
        out += QStringLiteral("== %1\n%2\n").arg(table, lines.join(QLatin1Char('\n')));
    }
    return out;
}
