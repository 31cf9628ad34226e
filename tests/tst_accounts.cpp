// The account is the one named: whatever the folders above an account file
// or the data source that reaches it are called, the run reads the year and
// the account from the database's own name; and a locked account ends the
// call with one line, never a hang.

#include "AccountFiles.h"
#include "CliRun.h"
#include "TestAccount.h"
#include "dbkit/ConnectionText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A save that needs both year readers: ST writes its start date with the
// year it finds itself, SA looks its period up by the entry's account and
// year.
struct Save {
    const char* sys;
    const char* script;
    const char* name;
    const char* value;
};
const Save Saves[] = {
    {"ST", "click ComN\npaste Te26 2\nclick ComE", "dSTStartDate", "2001-2-1"},
    {"SA", "click ComN\npaste Te43 2\nclick ComE", "dStartDate", "2001-02-01"},
};

QString describe(const CliResult& run) {
    return QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.stderrText);
}

}  // namespace

class TestAccounts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oddFolders_data() {
        QTest::addColumn<QString>("folder");
        for (const char* folder : {"zxdata", "zxdata-old", "zxdata_001_2025", "ZXDATA_999_1999",
                                   "straße", "ﬁle", "a;System Database=b;k="})
            QTest::newRow(folder) << QString::fromUtf8(folder);
    }
    void oddFolders() {
        if (TestAccount::onServer())
            QSKIP("folders are a file's");
        QFETCH(QString, folder);
        QTemporaryDir dir;
        for (const Save& save : Saves) {
            const QString place = dir.path() + QLatin1Char('/') + folder + "/" + save.sys;
            const QString file = zx::host::createAccount(place, "001", "2001").accountFile;
            // The second account of a folder adds its periods to the first one's system file.
            zx::host::createAccount(place, "002", "2001");
            const CliResult run = runCli({"run", "--db", file, "--sys", save.sys}, save.script);
            QVERIFY2(run.exitCode == 0, qPrintable(describe(run)));
            QCOMPARE(TestAccount::paramIn(file, save.sys, save.name),
                     QString::fromLatin1(save.value));
        }
    }

    // A data source named like another account, given with DSN= or alone.
    void dataSourceNames_data() {
        QTest::addColumn<QString>("odbc");
        QTest::newRow("DSN= and a year") << "DSN=ZXDATA_999_1999";
        QTest::newRow("name alone") << "zxdata-old";
    }
    void dataSourceNames() {
        if (!TestAccount::onServer())
            QSKIP("data sources are a server's");
        QFETCH(QString, odbc);
        for (const Save& save : Saves) {
            TestAccount account;
            QString error;
            const auto server = zx::db::ConnectionText::parse(account.cliArgs().last(), &error);
            QVERIFY2(server, qPrintable(error));
            QTemporaryDir dir;
            QFile ini(dir.path() + QStringLiteral("/odbc.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            for (const char* name : {"ZXDATA_999_1999", "zxdata-old"}) {
                ini.write(QStringLiteral("[%1]\nDriver=PostgreSQL Unicode\n").arg(name).toUtf8());
                for (auto [key, value] : server->pairs()) {
                    if (key.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0)
                        continue;
                    if (key.compare(QLatin1String("Uid"), Qt::CaseInsensitive) == 0)
                        key = QStringLiteral("Username");  // as a data source writes it
                    ini.write((key + QLatin1Char('=') + value + QLatin1Char('\n')).toUtf8());
                }
            }
            ini.close();
            const CliResult run = runCli({"run", "--odbc", odbc, "--sys", save.sys}, save.script,
                                         {QStringLiteral("ODBCINI=") + ini.fileName()});
            QVERIFY2(run.exitCode == 0, qPrintable(describe(run)));
            QCOMPARE(account.param(save.sys, save.name).toString(),
                     QString::fromLatin1(save.value));
        }
    }

    // Another program holding the account: on SQLite it holds the whole
    // file and the load gives up after the busy timeout; on a server it
    // holds a row and the save gives up after the lock timeout.
    void lockedAccount() {
        TestAccount account;
        const bool server = TestAccount::onServer();
        account.exec(server ? "BEGIN" : "BEGIN EXCLUSIVE");
        if (server)
            account.exec(
                "update AccInformation set cValue='x' where cSysID='AA' and cName='bStrsAuxUnit'");
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "ST"},
                   "click ComN\npaste Te26 2\nclick ComE");
        account.exec("ROLLBACK");
        QVERIFY2(run.exitCode == (server ? 1 : 4), qPrintable(describe(run)));
        if (!server) {
            QVERIFY2(run.stderrText.trimmed().count(QLatin1Char('\n')) == 0 &&
                         run.stderrText.contains(QStringLiteral("locked: another connection")),
                     qPrintable(run.stderrText));
        }
        QVERIFY(account.param("ST", "dSTStartDate").toString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
