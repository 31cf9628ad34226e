#include "TestAccount.h"

#include "AccountFiles.h"
#include "dbkit/QtSqlDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <stdexcept>

namespace {

int g_counter = 0;

void check(bool ok, const QSqlQuery& q, const QString& sql) {
    if (!ok)
        throw std::runtime_error(QStringLiteral("test SQL failed: %1 (%2)")
                                     .arg(sql, q.lastError().text())
                                     .toStdString());
}

}  // namespace

TestAccount::TestAccount(const QString& year, const QString& account, const QString& fileName)
    : m_year(year) {
    const auto created = zx::host::createAccount(m_dir.path(), account, year);
    m_path = created.accountFile;
    m_systemPath = created.systemFile;
    if (!fileName.isEmpty()) {
        const QString renamed = m_dir.path() + QLatin1Char('/') + fileName;
        QFile::rename(m_path, renamed);
        m_path = renamed;
    }
    m_connection = QStringLiteral("testaccount-%1").arg(++g_counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.open();
    QSqlQuery attach(db);
    check(attach.exec(QStringLiteral("ATTACH DATABASE '%1' AS zxsystem").arg(m_systemPath)), attach,
          "attach");
}

TestAccount::~TestAccount() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString TestAccount::connectionText() const {
    return QStringLiteral("Provider=SQLite;Data Source=") + m_path;
}

std::unique_ptr<zx::db::HostDatabase> TestAccount::open() const {
    return zx::db::openDatabase(connectionText() + QStringLiteral(";System Database=") +
                                m_systemPath);
}

void TestAccount::exec(const QString& sql) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    check(q.exec(sql), q, sql);
}

QVariant TestAccount::value(const QString& sql) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
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

void TestAccount::setParam(const QString& sys, const QString& name, const QVariant& v) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("update AccInformation set cValue=? where cSysID=? and cName=?"));
    q.addBindValue(v.isValid() ? v : QVariant(QMetaType::fromType<QString>()));
    q.addBindValue(sys);
    q.addBindValue(name);
    check(q.exec(), q, QStringLiteral("setParam"));
}

void TestAccount::setStartDate(const QString& sys, const QString& name, int month) const {
    setParam(sys, name, QStringLiteral("%1-%2-1").arg(m_year).arg(month));
}

void TestAccount::closeMonths(const QString& flag, int from, int to) const {
    exec(QStringLiteral("update GL_mend set %1=1 where iperiod between %2 and %3")
             .arg(flag)
             .arg(from)
             .arg(to));
}

QString TestAccount::dump() const {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QString out;
    QSqlQuery tables(db);
    check(tables.exec(QStringLiteral("select 'main', name from main.sqlite_master where type in "
                                     "('table','index','trigger') union all "
                                     "select 'zxsystem', name from zxsystem.sqlite_master where "
                                     "type in ('table','index','trigger') "
                                     "order by 1, 2")),
          tables, "tables");
    QList<QPair<QString, QString>> names;
    while (tables.next())
        names.append({tables.value(0).toString(), tables.value(1).toString()});
    for (const auto& [schema, name] : names) {
        QSqlQuery rows(db);
        if (!rows.exec(QStringLiteral("select * from %1.\"%2\" order by rowid").arg(schema, name)))
            continue;  // an index
        out += QStringLiteral("== %1.%2\n").arg(schema, name);
        while (rows.next()) {
            QStringList cells;
            for (int i = 0; i < rows.record().count(); ++i)
                cells << (rows.isNull(i)
                              ? QStringLiteral("NULL")
                              : QLatin1Char('\'') + rows.value(i).toString() + QLatin1Char('\''));
            out += cells.join(QLatin1Char('|')) + QLatin1Char('\n');
        }
    }
    return out;
}
