// The SQLite host database: connection texts, lazy recordsets, FindFirst,
// the system prefix, quoting, transactions and what errors say.

#include "CliRun.h"
#include "TableChanges.h"
#include "TestAccount.h"
#include "core/Error.h"
#include "dbkit/ConnectionText.h"
#include "dbkit/QtSqlDatabase.h"
#include "dbkit/SqlText.h"
#include "dbkit/TransactionGuard.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace zx::db;

namespace {

// The account with a short wait for locks.
std::unique_ptr<HostDatabase> openWaitingBriefly(const TestAccount& account) {
    return openDatabase(account.connectionText() + QStringLiteral(";System Database=") +
                        account.systemPath() + QStringLiteral(";Busy Timeout=100"));
}

// Two parameters as the loads read them, each found in the whole table and
// read by a statement of its own: cValue and cDefault by name.
QString parameters(HostDatabase& db) {
    const auto fields = [](HostRecordset& rs) {
        QStringList values;
        for (const char* name : {"cValue", "cDefault"}) {
            try {
                values << rs.Recordset().Fields(QString::fromLatin1(name)).textOrEmpty();
            } catch (const zx::Error& error) {
                values << QString::fromUtf8(error.what());
            }
        }
        return values.join(QLatin1Char('/'));
    };
    QStringList read;
    auto all = db.OpenRecordset(QStringLiteral("select * from AccInformation"));
    for (const QString& name : {QStringLiteral("bSaleDaily"), QStringLiteral("bDispatch")}) {
        const QString criterion = QStringLiteral("cSysID='SA' and cName='%1'").arg(name);
        all->FindFirst(criterion);
        read << name + QStringLiteral(" found: ") + fields(*all);
        auto one =
            db.OpenRecordset(QStringLiteral("select * from AccInformation where ") + criterion);
        read << name + QStringLiteral(" alone: ") + fields(*one);
    }
    return read.join(QLatin1Char('\n'));
}

}  // namespace

class TestDbKit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void connectionTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const char* const rows[][3] = {
            {"Provider=SQLite;Data Source=/a/b.db", "data source", "/a/b.db"},
            {" Provider = ODBC ; DSN = x ", "dsn", "x"},
            {"Provider=ODBC;PWD={a;b}}c}", "pwd", "a;b}c"},
            {"Provider=SQLite;Data Source=\"/a;b.db\"", "Data Source", "/a;b.db"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << r[0] << r[1] << r[2];
    }
    void connectionTexts() {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QString error;
        const auto parsed = ConnectionText::parse(text, &error);
        QVERIFY2(parsed, qPrintable(error));
        QCOMPARE(parsed->value(key), value);
    }

    // A value the host puts in a connection text stays one value, whatever
    // it holds.
    void builtTextsKeepEveryValue() {
        for (const char* value :
             {"/a;System Database=/b;k=", "}{", "a}}b", "{x}", " blank ", "", "\"q\"", "DSN=y"}) {
            ConnectionText text;
            text.append(QStringLiteral("Data Source"), QString::fromUtf8(value));
            text.append(QStringLiteral("UID"), QStringLiteral("u"));
            QString error;
            const auto parsed = ConnectionText::parse(text.toString(), &error);
            QVERIFY2(parsed, qPrintable(error));
            QCOMPARE(parsed->pairs(), text.pairs());
        }
    }

    void badConnectionTexts() {
        QString error;
        QVERIFY(!ConnectionText::parse(QStringLiteral("Provider=ODBC;PWD={open;UID=x"), &error));
        QVERIFY(!error.contains(QStringLiteral("open")));  // the password is masked
        QVERIFY(!ConnectionText::parse(QStringLiteral("Provider=SQLite;nonsense"), &error));
        QVERIFY_THROWS_EXCEPTION(zx::Error,
                                 openDatabase(QStringLiteral("Provider=Nope;Data Source=/x")));
    }

    void masking_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("masked");
        const char* const rows[][2] = {
            {"DSN=a;UID=u;PWD=secret;X=1", "DSN=a;UID=u;PWD=***;X=1"},
            {"Password=se;cret", "Password=***;cret"},
            {"pwd={s;e}}c};DSN=a", "pwd=***;DSN=a"},
            {"pWd=a;SSLPassword=b;token=c", "pWd=***;SSLPassword=***;token=***"},
            {"Driver=x;pqopt={password=s3 sslmode=require}", "Driver=x;pqopt={password=***}"},
            {"pqopt={sslmode=a PASSWORD='b c}}'}", "pqopt={sslmode=a PASSWORD=***}"},
            {"Uid=u;Pwd={s1}s2;s3};DSN=a", "Uid=u;Pwd=***"},
            {"Provider=SQLite;Data Source=/x", "Provider=SQLite;Data Source=/x"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << r[0] << r[1];
    }
    void masking() {
        QFETCH(QString, text);
        QFETCH(QString, masked);
        QCOMPARE(maskedConnectionText(text), masked);
    }

    void sqlHelpers() {
        QCOMPARE(rewriteSystemPrefix(
                     QStringLiteral("select x from ZXSYSTEM..ua_period where a='zxsystem..b'"),
                     QStringLiteral("zxsystem")),
                 QStringLiteral("select x from zxsystem.ua_period where a='zxsystem..b'"));
        QCOMPARE(
            rewriteSystemPrefix(QStringLiteral("select 1 from myzxsystem..t"), QStringLiteral("s")),
            QStringLiteral("select 1 from myzxsystem..t"));
    }

    // Writes that differ only in their quoted texts share a compiled
    // statement: each must still store exactly what its own text says.
    void quotedTextsInWrites() {
        TestAccount account;
        auto db = account.open();
        const QString where = QStringLiteral(" Where cSysID='SA' and cName='cCreditPwd'");
        const struct {
            const char* set;
            QVariantList params;
            const char* stored;
        } rows[] = {
            {"set cValue='it''s'", {}, "it's"},
            {"set cValue='a?b' || ?", {QStringLiteral("c")}, "a?bc"},
            {"set cValue=? || '\u9500'", {QStringLiteral("'")}, "'\u9500"},
            {"set cValue=''", {}, ""},
        };
        for (const auto& row : rows) {
            const QString sql =
                QStringLiteral("Update AccInformation ") + QString::fromUtf8(row.set);
            db->Execute(sql + where, row.params);
            QCOMPARE(account.value(QStringLiteral("select cValue from AccInformation") + where),
                     QVariant(QString::fromUtf8(row.stored)));
        }
    }

    void missingFilesAreNotCreated() {
        TestAccount account;
        const QString missing = account.dir() + QStringLiteral("/ZXDATA_002_2001.db");
        QVERIFY_THROWS_EXCEPTION(
            zx::Error, openDatabase(QStringLiteral("Provider=SQLite;Data Source=") + missing));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY_THROWS_EXCEPTION(
            zx::Error, openDatabase(account.connectionText() +
                                    QStringLiteral(";System Database=/nonexistent/zxsystem.db")));
        QVERIFY_THROWS_EXCEPTION(
            zx::Error, openDatabase(QStringLiteral("Provider=SQLite;Data Source=relative.db")));
    }

    // A kit whose ODBC library is missing says which and why when an ODBC
    // connection is opened; the command fails as any failed open does.
    void missingOdbcLibraryIsNamed() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(ZXDBKIT_LIBRARY),
                            dir.filePath(QFileInfo(QStringLiteral(ZXDBKIT_LIBRARY)).fileName())));
        const CliResult run = runCli({"show", "--odbc", "DSN=zxnone"}, {},
                                     {QStringLiteral("LD_LIBRARY_PATH=") + dir.path()});
        const QString said = run.stdoutText + run.stderrText;
        QVERIFY2(run.exitCode > 0, qPrintable(said));
        QVERIFY2(said.contains(dir.filePath(QStringLiteral("libzxdbkit-odbc.so."))),
                 qPrintable(said));
        QVERIFY2(said.contains(QLatin1String("No such file")), qPrintable(said));
    }

    void recordsets() {
        TestAccount account;
        auto db = account.open();
        QCOMPARE(db->ConnectString(), db->Connection().ConnectionString());
        // The database's name first, so that no folder is taken for it.
        QVERIFY2(db->ConnectString().startsWith(
                     QStringLiteral("Provider=SQLite;Database=ZXDATA_001_2001;Data Source={") +
                     account.path() + QLatin1Char('}')),
                 qPrintable(db->ConnectString()));

        auto empty = db->OpenRecordset(QStringLiteral("select * from Inventory"));
        QVERIFY(empty->Bof() && empty->Eof());
        QVERIFY_THROWS_EXCEPTION(zx::Error, empty->Recordset().Fields(QStringLiteral("cInvCode")));
        QVERIFY_THROWS_EXCEPTION(zx::Error, empty->MoveLast());

        auto mend = db->OpenRecordset(QStringLiteral("select * from GL_mend order by iperiod"), 4);
        QVERIFY(!mend->Bof() && !mend->Eof());
        QVERIFY(mend->RecordCount() > 0);
        mend->FindFirst(QStringLiteral("iperiod=11"));
        QCOMPARE(mend->Recordset().Fields(QStringLiteral("IPERIOD")).variant().toInt(), 11);
        mend->MoveNext();
        QCOMPARE(mend->Recordset().Fields(QStringLiteral("iperiod")).variant().toInt(), 12);
        mend->MoveNext();
        QVERIFY(mend->Eof());
        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->Recordset().Fields(QStringLiteral("bflag")));
        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->MoveNext());

        // No match: no current row, fields read as Null; later finds still work.
        mend->FindFirst(QStringLiteral("iperiod=99"));
        QVERIFY(mend->Eof());
        QVERIFY(mend->Recordset().Fields(QStringLiteral("bflag")).isNull());
        mend->FindFirst(QStringLiteral("iperiod=0"));
        QCOMPARE(mend->Recordset().Fields(QStringLiteral("iperiod")).variant().toInt(), 0);
        QCOMPARE(mend->RecordCount(), 13);
        mend->MoveLast();
        QCOMPARE(mend->Recordset().Fields(QStringLiteral("iperiod")).variant().toInt(), 12);

        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->FindFirst(QStringLiteral("iperiod=")));
        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->FindFirst(QStringLiteral("nope=1")));
        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->Recordset().Fields(QStringLiteral("nope")));
        mend->Close();
        QVERIFY_THROWS_EXCEPTION(zx::Error, mend->MoveNext());
    }

    void errorsNameTheStatementButNotThePassword() {
        TestAccount account;
        auto db = account.open();
        try {
            db->Execute(QStringLiteral("Update NoSuchTable set cValue=? Where cSysID='SA' and "
                                       "cName='cCreditPwd'"),
                        {QStringLiteral("hunter2")});
            QFAIL("no error");
        } catch (const zx::Error& error) {
            QVERIFY(error.message().contains(QStringLiteral("NoSuchTable")));
            QVERIFY(!error.message().contains(QStringLiteral("hunter2")));
        }
        // One statement per call: a second one is refused, not run.
        QVERIFY_THROWS_EXCEPTION(
            zx::Error,
            db->Execute(QStringLiteral("Update GL_mend set bflag=1; delete from AccInformation")));
        QCOMPARE(account.value(QStringLiteral("select count(*) from GL_mend where bflag=1")),
                 QVariant(0));
    }

    void damagedFilesAreNamed_data() {
        QTest::addColumn<bool>("account");
        QTest::newRow("account") << true;
        QTest::newRow("system database") << false;
    }
    void damagedFilesAreNamed() {
        QFETCH(bool, account);
        TestAccount files;
        const QString damaged = account ? files.path() : files.systemPath();
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'x'));
        file.close();
        try {
            files.open();
            QFAIL("opened");
        } catch (const zx::Error& error) {
            QVERIFY2(error.message().contains(damaged) &&
                         error.message().contains(QStringLiteral("not a database")),
                     qPrintable(error.message()));
        }
    }

    // Attached read-only: a writer holding it delays no save, and nothing
    // can write it.
    void systemDatabaseIsOnlyRead() {
        TestAccount account;
        account.exec("BEGIN");  // another program writing the system database
        account.exec("update zxsystem.ua_period set iId=iId");
        auto db = openWaitingBriefly(account);
        db->BeginTrans();
        db->Execute(QStringLiteral("Update GL_mend set bflag=1 where iperiod=1"));
        QVERIFY_THROWS_EXCEPTION(zx::Error,
                                 db->Execute(QStringLiteral("delete from zxsystem..ua_period")));
        db->CommitTrans();
        account.exec("ROLLBACK");
        QCOMPARE(account.value(QStringLiteral("select count(*) from GL_mend where bflag=1")),
                 QVariant(1));
    }

    // Another writer holding the account: the call fails after the wait,
    // with one line that names the lock.
    void lockedAccount_data() {
        QTest::addColumn<QStringList>("held");  // by another connection
        QTest::addColumn<int>("step");          // 0 load, 1 begin, 2 commit
        QTest::newRow("read while another commits") << QStringList{"BEGIN EXCLUSIVE"} << 0;
        QTest::newRow("save while another writes") << QStringList{"BEGIN IMMEDIATE"} << 1;
        QTest::newRow("commit while another reads")
            << QStringList{"BEGIN", "select count(*) from GL_mend"} << 2;
    }
    void lockedAccount() {
        QFETCH(QStringList, held);
        QFETCH(int, step);
        TestAccount account;
        const QString before = account.dump();
        auto db = openWaitingBriefly(account);
        if (step == 2) {
            db->BeginTrans();
            db->Execute(QStringLiteral("Update GL_mend set bflag=1"));
        }
        for (const QString& sql : held)
            account.exec(sql);
        try {
            if (step == 0)
                db->OpenRecordset(QStringLiteral("select * from AccInformation"));
            else if (step == 1)
                db->BeginTrans();
            else
                db->CommitTrans();
            QFAIL("not locked");
        } catch (const zx::Error& error) {
            QVERIFY2(error.message().contains(QStringLiteral("locked: another connection")) &&
                         !error.message().contains(QLatin1Char('\n')),
                     qPrintable(error.message()));
        }
        if (step == 2)
            db->RollbackTrans();
        account.exec("ROLLBACK");
        QCOMPARE(account.dump(), before);
    }

    // A connection kept open while the table changes reads what a new one
    // reads: every column by its name in the table as it is now.
    void aKeptConnectionReadsTheTableAsItIsNow_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("byHost");
        for (int i = 0; i < int(std::size(TableChanges)); ++i) {
            QTest::addRow("%s by another program", TableChanges[i].name) << i << false;
            QTest::addRow("%s on the kept connection", TableChanges[i].name) << i << true;
        }
    }
    void aKeptConnectionReadsTheTableAsItIsNow() {
        QFETCH(int, index);
        QFETCH(bool, byHost);
        TestAccount account;
        account.given({"SA.bSaleDaily=TRUE", "SA.bDispatch=FALSE"});
        auto kept = account.open();
        QCOMPARE(parameters(*kept), parameters(*account.open()));
        for (const QString& sql : TableChanges[index].statements) {
            if (byHost)
                kept->Execute(sql, {});
            else
                account.exec(sql);
        }
        QCOMPARE(parameters(*kept), parameters(*account.open()));
    }

    void transactions() {
        TestAccount account;
        const QString before = account.dump();
        {
            auto db = account.open();
            TransactionGuard guard(*db);
            db->Execute(QStringLiteral("Update GL_mend set bflag=1"));
        }  // no commit: rolled back
        QCOMPARE(account.dump(), before);
        {
            auto db = account.open();
            db->BeginTrans();
            QVERIFY_THROWS_EXCEPTION(zx::Error, db->BeginTrans());
            db->Execute(QStringLiteral("Update GL_mend set bflag=1 where iperiod=1"));
            db->CommitTrans();
            QVERIFY_THROWS_EXCEPTION(zx::Error, db->CommitTrans());
            QVERIFY_THROWS_EXCEPTION(zx::Error, db->RollbackTrans());
        }
        QCOMPARE(account.value(QStringLiteral("select count(*) from GL_mend where bflag=1")),
                 QVariant(1));
    }
};

QTEST_GUILESS_MAIN(TestDbKit)
#include "tst_dbkit.moc"
