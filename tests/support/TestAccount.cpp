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

void check(bool ok, const QSqlQuery& q, const QString& sql) {
    if (!ok)
        throw std::runtime_error(QStringLiteral("test SQL failed: %1 (%2)")
                                     .arg(sql, q.lastError().text())
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
    {
        QSqlDatabase db = QSqlDatabase::contains(name)
                              ? QSqlDatabase::database(name)
                              : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        if (!db.isOpen()) {
            db.setDatabaseName(serverOdbc(QStringLiteral("postgres")));
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
        }
        QSqlQuery q(db);
        check(q.exec(sql), q, sql);
    }
}

// A new account is made once per year and number, then copied: creating
// one runs every statement of the schema.
zx::host::CreatedAccount copyOfNewAccount(const QString& dir, const QString& account,
                                          const QString& year) {
    static QTemporaryDir templates;
    static QHash<QString, zx::host::CreatedAccount> made;
    const QString key = account + QLatin1Char('_') + year;
    if (!made.contains(key))
        made.insert(
            key, zx::host::createAccount(templates.path() + QLatin1Char('/') + key, account, year));
    const zx::host::CreatedAccount& original = made[key];
    zx::host::CreatedAccount copy;
    copy.accountFile = dir + QLatin1Char('/') + QFileInfo(original.accountFile).fileName();
    copy.systemFile = dir + QLatin1Char('/') + QFileInfo(original.systemFile).fileName();
    if (!QFile::copy(original.accountFile, copy.accountFile) ||
        !QFile::copy(original.systemFile, copy.systemFile))
        throw std::runtime_error("cannot copy the template account");
    return copy;
}

QString cell(const QSqlQuery& rows, int i) {
    return rows.isNull(i) ? QStringLiteral("NULL")
                          : QLatin1Char('\'') + rows.value(i).toString() + QLatin1Char('\'');
}

}  // namespace

bool TestAccount::onServer() {
    return qEnvironmentVariable("ZX_TEST_BACKEND") == QLatin1String("postgres");
}

TestAccount::TestAccount(const QString& year, const QString& fileName) {
    const QString account = QStringLiteral("001");
    m_connection = QStringLiteral("testaccount-%1").arg(++g_counter);
    if (onServer()) {
        QString name = fileName.isEmpty() ? QStringLiteral("ZXDATA_%1_%2").arg(account, year)
                                          : QString(fileName).remove(QStringLiteral(".db"));
        m_serverDatabase = QStringLiteral("%1_t%2_%3").arg(name).arg(::getpid()).arg(g_counter);
        onMaintenanceDatabase(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_serverDatabase));
        m_odbc = serverOdbc(m_serverDatabase);
        zx::host::createPostgreSqlAccount(m_odbc, account, year);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connection);
        db.setDatabaseName(m_odbc);
        db.open();
        return;
    }
    const auto created = copyOfNewAccount(m_dir.path(), account, year);
    m_path = created.accountFile;
    m_systemPath = created.systemFile;
    if (!fileName.isEmpty()) {
        const QString renamed = m_dir.path() + QLatin1Char('/') + fileName;
        QFile::rename(m_path, renamed);
        m_path = renamed;
    }
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection).setDatabaseName(m_path);
    reopen();
}

void TestAccount::reopen() const {
    QSqlDatabase database = db();
    database.close();
    database.open();
    if (onServer())
        return;
    QSqlQuery attach(database);
    check(attach.exec(QStringLiteral("ATTACH DATABASE '%1' AS zxsystem").arg(m_systemPath)), attach,
          "attach");
}

TestAccount::~TestAccount() {
    {
        QSqlDatabase database = db();
        database.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (!m_serverDatabase.isEmpty()) {
        try {
            onMaintenanceDatabase(
                QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(m_serverDatabase));
        } catch (const std::exception&) {  // a leftover database goes with the server
        }
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
    if (onServer())
        return zx::db::openDatabase(connectionText());
    return zx::db::openDatabase(connectionText() + QStringLiteral(";System Database=") +
                                m_systemPath);
}

void TestAccount::exec(const QString& sql) const {
    QSqlQuery q(db());
    check(q.exec(sql), q, sql);
}

QVariant TestAccount::value(const QString& sql) const {
    QSqlQuery q(db());
    check(q.exec(sql), q, sql);
    if (!q.next() || q.isNull(0))
        return QVariant();
    return q.value(0);
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
    check(q.exec(), q, sys + QLatin1Char('.') + name);
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

QString TestAccount::dump() const {
    QSqlQuery tables(db());
    check(tables.exec(
              onServer()
                  ? QStringLiteral("select table_schema, table_name from information_schema.tables "
                                   "where table_schema in ('public','zxsystem') order by 1, 2")
                  : QStringLiteral(
                        "select 'main', name from main.sqlite_master where type='table' union all "
                        "select 'zxsystem', name from zxsystem.sqlite_master where type='table' "
                        "order by 1, 2")),
          tables, "tables");
    QList<QPair<QString, QString>> names;
    while (tables.next())
        names.append({tables.value(0).toString(), tables.value(1).toString()});
    QString out;
    for (const auto& [schema, name] : names) {
        QSqlQuery rows(db());
        check(rows.exec(QStringLiteral("select * from %1.\"%2\"").arg(schema, name)), rows, name);
        QStringList lines;
        while (rows.next()) {
            QStringList cells;
            for (int i = 0; i < rows.record().count(); ++i)
                cells << cell(rows, i);
            lines << cells.join(QLatin1Char('|'));
        }
        lines.sort();  // the server keeps no row order
        out += QStringLiteral("== %1.%2\n").arg(schema, name) + lines.join(QLatin1Char('\n')) +
               QLatin1Char('\n');
    }
    return out;
}
