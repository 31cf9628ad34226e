// `zxwizard run` end to end: each row a starting account, the user's
// actions as a script, and what the run must print, return and leave behind.

#include "CliRun.h"
#include "Scenario.h"
#include "Snapshot.h"
#include "TestAccount.h"
#include "com/ComRegistry.h"
#include "dbkit/RowChangeLog.h"
#include "wizard/WizardApi.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileBytes(const TestAccount& account) {
    QByteArray bytes;
    for (const QString& path : {account.path(), account.systemPath()}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll();
    }
    return bytes;
}

const QString Abandoned = QStringLiteral(" exit 64 unchanged");
const QString Step2 = QStringLiteral(
    " PicS1.visible=false ComN.tag=2 ComN.visible=false ComE.visible=true ComC1.visible=true "
    "ComC.visible=false Ima1.visible=true ComP.enabled=true La1.bold=false La2.bold=true");
const QString Batch =
    QStringLiteral(" sql \"insert into Inventory (cInvCode,bInvBatch) values ('1',1)\"");
const QString FailedSave = QStringLiteral(
    " sql \"create trigger failSave before update on GL_mend begin select raise(abort, 'boom'); "
    "end\" do click ComN | paste Te43 3 | click Ch43 | click ComE exit 1 unchanged err boom reason "
    "boom sqlite \"the trigger is written for the embedded database\"");
const QString Department = QStringLiteral(
    "由于在仓库档案中几个不同计价方式的仓库属于同一部门，因此不能设置为按部门核算。"
    "如果仍想设置为按部门核算，请在仓库档案中改变相应仓库的计价方式来解决此问题。");

// What the loads decide and the saves write on their own is tst_model's;
// these rows are where the window and the command take part.
const QStringList Scenarios = {
    // The account year in the database name, and the code compared exactly.
    "year 1980: year 1980 do close exit 3",
    "year 2050: year 2050 do close exit 3",
    "year 1979: year 1979 do close exit 2 says 打开的数据库有问题！（1979） unchanged",
    "year 2051: year 2051 do close exit 2 says 打开的数据库有问题！（2051） unchanged",
    "lower-case name and code: file zxdata_001_2001.db on sa do click ComN | paste Te43 4 | "
    "click ComE writes SA.dSaleStartDate=2001-4-1",
    "no ZXDATA_ in the name: file account.db do close exit 2 says 打开的数据库有问题！（QLit） "
    "unchanged sqlite \"the year is cut from the connection text, which differs by provider\"",
    "a guard that cannot ask: on ST given ST.bBatch=TRUE sql \"alter table Inventory drop "
    "column bInvBatch\" do click ComN | click Ch21 | click ComE exit 4 unchanged err bInvBatch",
    "not an account database: sql \"drop table Warehouse\" do close exit 4 unchanged err Warehouse "
    "sqlite \"a table of the embedded schema\"",
    "common parameters alone: on AA do click ComN | dump | click ComE writes "
    "AA.bStrsAuxUnit=FALSE SA.dSaleStartDate=",

    // Cancel, in every form, writes nothing.
    "cancel on step 1: do click Ch12 | click ComC exit 3 unchanged",
    "cancel on step 2: do click ComN | click Ch47 | click ComC1 exit 3 unchanged",
    "close box: do click ComN | close | dump exit 3 unchanged",
    "script ends with the window open: do click ComN exit 3 unchanged",

    // Next and Finish check their entries, say why once per press and stay.
    "remote invalid: do click Ch14 | type Te11 7 | click ComN | dump exit 3 "
    "says 远程标识号录入无效(数字00-99) titled \"\" shows ComN.tag=1",
    "remote missing: do click Ch14 | click ComN | dump exit 3 says 远程标识号必须录入 "
    "titled 向导提示 shows ComN.tag=1",
    "remote written: do click Ch14 | type Te11 42 | click ComN | paste Te43 1 | click ComE "
    "writes AA.bRemote=TRUE AA.cID=42",
    "month invalid: do click ComN | paste Te43 13 | click ComE | dump exit 3 says 启用月份录入无效 "
    "shows ComN.tag=2",
    "month missing: do click ComN | click ComE | dump exit 3 says 必须录入启用月份 titled 向导提示 "
    "shows ComN.tag=2",
    "month 12, and lines after Finish skipped: do click ComN | paste Te43 12 | click ComE | "
    "click ComC1 writes SA.dSaleStartDate=2001-12-1 SA.dStartDate=2001-12-01",
    "month 03 kept as typed: do click ComN | type Te43 03 | click ComE writes "
    "SA.dSaleStartDate=2001-03-1 SA.dStartDate=2001-03-01",
    "both passwords empty: do click ComN | click Ch49 | click Ch410 | click ComE exit 3 "
    "says 必须录入信用额度控制口令",
    "lowest-price password empty: do click ComN | click Ch49 | type Te41 pw | click Ch410 | "
    "click ComE exit 3 says 必须录入最低售价控制口令",
    "department conflict selects by-warehouse again: on IA sql \"insert into Warehouse "
    "(cWhCode,cDepCode,cWhValueStyle) values ('1','D1','全月平均法'),('2','D1','先进先出法')\" "
    "do click ComN | click Op52 | paste Te55 2 | click ComE | dump exit 3 says " +
        Department + " shows ComN.tag=2 Op51.value=true Op511.caption=按仓库",
    "department code with a quote: on IA sql \"insert into Warehouse (cWhCode,cDepCode,"
    "cWhValueStyle) values ('1','D''1','全月平均法'),('2','D''1','全月平均法')\" do click ComN | "
    "click Op52 | paste Te55 2 | click ComE writes IA.cValueStyle=按部门核算",

    // The guards refuse a click and put the box back, under the guide's title.
    "Ch21 guarded: on ST given ST.bBatch=TRUE" + Batch +
        " do click ComN | click Ch21 | dump | close exit 3 says "
        "已存在有批次管理的存货，不能修改此项设置 "
        "titled 向导提示 shows Ch21.value=1",
    "Ch32 guarded: on PU given AA.bProxySell=TRUE sql \"insert into Inventory (cInvCode,"
    "bInvEntrust) values ('1',1)\" do click ComN | click Ch32 | dump | close exit 3 "
    "says 已存在有受托代销的存货，不能修改此项设置 titled 向导提示 shows Ch32.value=1",
    "aux units kept by their guard keep the fixed rate open: on AA given AA.bStrsAuxUnit=TRUE "
    "sql \"insert into Inventory (cInvCode,cInvA_Unit) values ('1','条')\" do click Ch11 | dump | "
    "click ComN | click ComE says 已存在有辅计量单位存货，不能修改此项设置 titled 向导提示 "
    "writes AA.bStrsAuxUnit=TRUE shows Ch18.enabled=true",
    "aux units off locks the fixed rate: on AA given AA.bStrsAuxUnit=TRUE AA.lFixed=TRUE "
    "do click Ch11 | dump | click ComN | click ComE writes AA.bStrsAuxUnit=FALSE AA.lFixed=FALSE "
    "shows Ch18.value=0 Ch18.enabled=false",
    "unclassified on an empty table creates class 00: on AA do click Ch15 | dump | click ComN | "
    "click ComE writes AA.bGoodClass=FALSE AA.cGoodClass=2 shows Ch15.tag=Y",
    "classification kept while other classes exist: on AA sql \"insert into VendorClass values "
    "('01','x',1)\" do click Ch17 | dump | close exit 3 says 供应商已有分类，不能设置为不分类 "
    "titled 向导提示 shows Ch17.value=1 Ch17.tag=N",

    // Loaded values raise the rules, and what the window holds is saved.
    "a loaded credit control opens its password box: given SA.bCredit=TRUE SA.cCreditPwd=abc "
    "do click ComN | dump | close exit 3 shows Te41.enabled=true La45.enabled=true Te41.text=*** "
    "Te42.enabled=false",
    "a password from cDefault survives its box's Click: given SA.bCredit= "
    "SA.bCredit.cDefault=TRUE SA.cCreditPwd=stored SA.cCreditPwd.cDefault=fallback "
    "do click ComN | paste Te43 4 | click ComE writes SA.cCreditPwd=fallback",
    "a loaded department basis switches the plan captions: on IA given IA.cValueStyle=按部门核算 "
    "do dump | close exit 3 shows Op52.value=true Op511.caption=按部门 "
    "\"Op515.caption=按部门 + 存货\"",
    "options chosen in the window: on IA do click ComN | click Op52 | click Op514 | click Op55 | "
    "paste Te55 6 | click ComE writes IA.cValueStyle=按部门核算 IA.cPlan=仓库加分类 "
    "IA.cEstimate=单到补差 IA.dIAStartDate=2001-6-1",
    "a derived month is shown locked and saved: on ST given PU.dPUStartDate=2001-3-1 "
    "do click ComN | dump | click ComE writes ST.dSTStartDate=2001-3-1 shows Te26.enabled=false "
    "Te26.backColor=&H00C0C0C0 Te26.text=3",
    "the dump: do click ComN | click Ch49 | type Te41 abc | dump | close exit 3 "
    "shows Te41.text=*** Ch45.visible=false La2.bold=true hides abc",

    // Next shows the subsystem's page, Previous the common one again, and
    // what was chosen stays; unticking a switch empties its text.
    "ST page: on ST do click ComN | dump exit 3 shows PicS2.visible=true" + Step2,
    "PU page: on PU do click ComN | dump exit 3 shows PicS3.visible=true" + Step2,
    "SA page: on SA do click ComN | dump exit 3 shows PicS4.visible=true" + Step2,
    "IA page: on IA do click ComN | dump exit 3 shows PicS5.visible=true" + Step2,
    "no page of its own: on AA do click ComN | dump exit 3 shows PicS2.visible=false "
    "PicS3.visible=false PicS4.visible=false PicS5.visible=false" +
        Step2,
    "back on step 1: do click Ch11 | click ComN | click ComP | dump exit 3 shows Ch11.value=1 "
    "ComN.tag=1 ComN.visible=true ComE.visible=false PicS1.visible=true PicS4.visible=false "
    "La1.bold=true La2.bold=false ComP.enabled=false",
    "a password box emptied with its switch: do click ComN | click Ch49 | type Te41 pw | "
    "click Ch49 | dump exit 3 shows Te41.text= Te41.enabled=false La45.enabled=false",

    // Keys reach the focused control and go on to the window as a keyboard's do.
    "keys: do key Ch11 Space | click Ch14 | key Te11 4 | key Te11 x | key Te11 2 | "
    "key Te11 Enter | type Te43 31 | key Te43 Left | key Te43 Backspace | key Te43 Enter | key "
    "ComE Enter "
    "writes AA.bStrsAuxUnit=TRUE AA.cID=42 SA.dSaleStartDate=2001-1-1",
    "key Escape: do click ComN | key Ch41 Escape exit 3",

    // set changes a value only where it differs, through the same handlers.
    "set is declarative: do set Ch11 1 | set Ch11 1 | set Ch15 1 | click ComN | set Ch49 1 | "
    "set Te41 \"p w\" | set Te43 5 | set Te43 5 | click ComE writes AA.bStrsAuxUnit=TRUE "
    "AA.bGoodClass=TRUE \"SA.cCreditPwd=p w\" SA.dSaleStartDate=2001-5-1",
    "set keeps a derived month: given PU.dPUStartDate=2001-3-1 do click ComN | set Te43 3 | "
    "click ComE writes SA.dSaleStartDate=2001-3-1",
    "set cannot change a derived month: given PU.dPUStartDate=2001-3-1 do click ComN | "
    "set Te43 4 | click ComE err \"Te43 is disabled: Te43 holds \\\"3\\\", not \\\"4\\\"\"" +
        Abandoned,
    "set refused by a guard: on ST given ST.bBatch=TRUE" + Batch +
        " do click ComN | set Ch21 0 | click ComE says 已存在有批次管理的存货，不能修改此项设置 "
        "err \"Ch21 still holds 1\"" +
        Abandoned,

    // Actions a person could not perform end the run as Cancel, status 64.
    "unknown control: do click ComN | click Nope | click ComE" + Abandoned,
    "invisible control: do click ComN | click Ch45 | click ComE" + Abandoned,
    "disabled control: do click ComP" + Abandoned,
    "wrong kind: do type Ch11 1" + Abandoned,
    "syntax error: do click ComN | jump ComE" + Abandoned,
    "unknown key: do key Ch11 F13" + Abandoned,
    QString::fromUtf8("control characters escaped: do \x1b]0;owned\x07\u202e") + Abandoned +
        " err \\u001b]0;owned\\u0007\\u202e",

    // A failing save keeps the window, writes nothing, shows nothing and says why.
    "failed save: with --json" + FailedSave,
    "failed dry run: with --dry-run" + FailedSave,
};

}  // namespace

class TestRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scenario_data() { addScenarioRows(Scenarios); }
    void scenario() {
        QFETCH(QString, row);
        runScenario(row);
    }

    void skippedAndResultEvents() {
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
                   "click ComN\nclick ComC1\n\n# done\nclick ComN\ndump");
        QList<int> skipped;
        for (const QJsonObject& e : run.eventsOf("skipped"))
            skipped << e.value("line").toInt();
        QCOMPARE(skipped, QList<int>({5, 6}));
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.resultCode(), 3);
    }

    // A dry run reports exactly what the real run then writes, and leaves
    // both databases as they were, byte for byte; it needs no write access.
    void dryRun_data() {
        QTest::addColumn<bool>("readOnly");  // account, system database and folder immutable
        QTest::newRow("writable") << false;
        QTest::newRow("read-only") << true;
    }
    void dryRun() {
        QFETCH(bool, readOnly);
        if (readOnly && TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
        const QStringList args =
            QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"};
        const QString script =
            "click Ch11\nclick ComN\nclick Ch49\ntype Te41 pw\npaste Te43 2\nclick ComE";
        const QString before = account.dump();
        const QByteArray bytes = TestAccount::onServer() ? QByteArray() : fileBytes(account);
        // Even root cannot write an immutable file, or make a journal in an
        // immutable folder.
        const QStringList locked{account.path(), account.systemPath(), account.dir()};
        const auto chattr = [&](const char* flag) {
            return QProcess::execute("chattr", QStringList{flag} + locked) == 0;
        };
        if (readOnly && !chattr("+i"))
            QSKIP("chattr +i is not available here");
        auto unlock = qScopeGuard([&] {
            if (readOnly)
                chattr("-i");
        });
        const CliResult dry = runCli(args + QStringList{"--dry-run"}, script);
        QVERIFY2(!readOnly || !QFile(account.path()).open(QIODevice::ReadWrite), "not read-only");
        unlock.dismiss();
        QVERIFY(!readOnly || chattr("-i"));
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(dry.eventsOf("result").value(0).value("dryRun").toBool(), true);
        QCOMPARE(account.dump(), before);
        if (!TestAccount::onServer())
            QCOMPARE(fileBytes(account), bytes);
        const CliResult real = runCli(args, script);
        QCOMPARE(real.exitCode, 0);
        QVERIFY(real.eventsOf("changed").size() > 3);
        QCOMPARE(dry.eventsOf("changed"), real.eventsOf("changed"));
        QCOMPARE(dry.eventsOf("changedTable"), real.eventsOf("changedTable"));
        QVERIFY(account.dump() != before);
    }

    // What a run reports from the database's record of its writes is what
    // comparing whole tables before and after would report.
    void changesAsFromWholeTables_data() {
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("values") << QStringList{
            "update AccInformation set cValue='TRUE' where cName='bRemote'",
            "update AccInformation set cValue=NULL where cSysID='SA' and cName like 'b%'"};
        QTest::newRow("there and back")
            << QStringList{"update AccInformation set cValue='x' where cName='bRemote'",
                           "update AccInformation set cValue='' where cName='bRemote'",
                           "update GL_mend set bflag=1 where iperiod<3",
                           "update GL_mend set bflag=0 where iperiod<3"};
        QTest::newRow("inserted, then updated") << QStringList{
            "insert into AccInformation (cSysID, cName, cValue) values ('AA', 'lNew', 'FALSE')",
            "update AccInformation set cValue='TRUE' where cName='lNew'"};
        QTest::newRow("rows in and out") << QStringList{
            "insert into AccInformation (cSysID, cName, cValue) values ('ZZ', 'new', 'v')",
            "delete from AccInformation where cName='cID'",
            "insert into GradeDef values ('a', '2', 'x'), ('a', '2', 'x')",
            "delete from GL_mend where iperiod in (1, 2)",
            "update GL_mend set iperiod=iperiod+100 where iperiod>10"};
    }
    void changesAsFromWholeTables() {
        if (TestAccount::onServer())
            QSKIP("the server keeps no record of a connection's writes for the kit");
        QFETCH(QStringList, writes);
        TestAccount account;
        const auto db = account.open();
        const auto log = zx::db::RowChangeLog::start(*db);
        QVERIFY(log);
        const zx::host::Snapshot before = zx::host::Snapshot::take(*db);
        db->BeginTrans();
        for (const QString& write : writes)
            db->Execute(write);
        db->CommitTrans();
        const auto [prior, after] = zx::host::Snapshot::ofChanges(*db, *log);
        const QList<QJsonObject> expected = zx::host::Snapshot::take(*db).changesSince(before);
        QVERIFY(!expected.isEmpty() || QTest::currentDataTag() == QLatin1String("there and back"));
        QCOMPARE(after.changesSince(prior), expected);
    }

    // A stored value the user left alone is written back as the very bytes
    // and storage class it was; one the user changed becomes valid text; and
    // the report tells every change of bytes.
    void storedBytesKeptUnlessChanged_data() {
        QTest::addColumn<QString>("param");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("actions");   // before the start month and Finish
        QTest::addColumn<QString>("after");     // typeof:hex
        QTest::addColumn<QString>("reported");  // the changed event's [old,new], or none
        const struct {
            const char *tag, *param, *stored, *actions, *after, *reported;
        } rows[] = {
            {"GBK password", "SA.cCreditPwd", "cast(x'C3DCC2EB' as text)", "", "text:C3DCC2EB", ""},
            {"bytes not UTF-8", "SA.cCreditPwd", "cast(x'ff41' as text)", "", "text:FF41", ""},
            {"encoded lone surrogate", "SA.cLowPricePwd", "cast(x'EDA080' as text)", "",
             "text:EDA080", ""},
            {"blob password", "SA.cCreditPwd", "x'C3DCC2EB'", "", "blob:C3DCC2EB", ""},
            {"blob identifier", "AA.cID", "x'3432'", "", "blob:3432", ""},
            {"changed password", "SA.cCreditPwd", "cast(x'C3DCC2EB' as text)",
             "click ComN\nset Te41 新\n", "text:E696B0", R"(["***","***"])"},
            {"identifier cleared", "AA.cID", "x'3432'", "click Ch14\n",
             "text:", R"([{"blob":"3432"},""])"},
            {"identifier retyped", "AA.cID", "cast(x'3432' as blob)", "set Te11 43\n", "text:3433",
             R"([{"blob":"3432"},"43"])"},
        };
        for (const auto& row : rows) {
            QString actions = QString::fromUtf8(row.actions);
            if (!actions.startsWith("click ComN"))
                actions += "click ComN\n";
            QTest::newRow(row.tag)
                << row.param << row.stored << actions + "paste Te43 4\nclick ComE" << row.after
                << QString::fromUtf8(row.reported);
        }
    }
    void storedBytesKeptUnlessChanged() {
        if (TestAccount::onServer())
            QSKIP("storage classes and raw text bytes are the embedded database's");
        QFETCH(QString, param);
        QFETCH(QString, stored);
        QFETCH(QString, actions);
        QFETCH(QString, after);
        QFETCH(QString, reported);
        TestAccount account;
        account.given({"SA.bCredit=TRUE", "SA.bLowPrice=TRUE", "SA.cCreditPwd=a",
                       "SA.cLowPricePwd=b", "AA.bRemote=TRUE", "AA.cID=07"});
        const QString where = QString(" where cSysID='%1' and cName='%2'")
                                  .arg(param.section('.', 0, 0), param.section('.', 1));
        account.exec("update AccInformation set cValue=" + stored + where);
        const QStringList args =
            QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA", "--json"};
        const CliResult dry = runCli(args + QStringList{"--dry-run"}, actions);
        const CliResult real = runCli(args, actions);
        QCOMPARE(real.exitCode, 0);
        QCOMPARE(
            account.value("select typeof(cValue)||':'||hex(cValue) from AccInformation" + where)
                .toString(),
            after);
        QString told;
        for (const QJsonObject& e : real.eventsOf("changed"))
            if (e.value("cSysID").toString() + '.' + e.value("cName").toString() == param)
                told = QJsonDocument(QJsonArray{e.value("old"), e.value("new")})
                           .toJson(QJsonDocument::Compact);
        QCOMPARE(told, reported);
        QCOMPARE(dry.eventsOf("changed"), real.eventsOf("changed"));
    }

    // A row the save inserts had no old value, and the report says so.
    void insertedRowReported() {
        TestAccount account;
        account.exec("delete from AccInformation where cSysID='AA' and cName='lFixed'");
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "AA", "--json"},
                   "click ComN\nclick ComE");
        QCOMPARE(run.exitCode, 0);
        QJsonObject lFixed;
        for (const QJsonObject& e : run.eventsOf("changed"))
            if (e.value("cName") == QLatin1String("lFixed"))
                lFixed = e;
        QCOMPARE(lFixed.value("inserted"), QJsonValue(true));
        QVERIFY(!lFixed.contains("old"));
        QCOMPARE(lFixed.value("new"), QJsonValue("FALSE"));
    }

    // Two administrators on one account: whoever finishes second, having
    // loaded before the other's save, writes nothing and is told which
    // parameters the other changed; the first one's save stays whole.
    void secondSaveOfTwoRefused_data() {
        QTest::addColumn<bool>("insideTheHold");
        QTest::newRow("the other finishes inside this run's hold") << true;
        QTest::newRow("both load, this one finishes first") << false;
    }
    void secondSaveOfTwoRefused() {
        QFETCH(bool, insideTheHold);
        TestAccount account;
        QVERIFY(runCli({"register"}).exitCode == 0);
        const QString connection =
            account.connectionText() +
            (TestAccount::onServer() ? QString() : ";System Database=" + account.systemPath());
        // A's first Finish lacks the month: its message box is where A holds.
        const QString scriptA = "click ComN\nclick ComE\nclick Ch44\npaste Te43 4\nclick ComE";
        const QString scriptB = "click ComN\nclick Ch43\nclick ComE\npaste Te43 5\nclick ComE";
        const auto holding = [&](const QString& script, const QString& dir,
                                 const QString& command = QString()) {
            auto* host = new QProcess(this);
            host->start(EVENT_HOST,
                        {connection, "SA", script, command.isEmpty() ? "hold" : "command",
                         command.isEmpty() ? dir : command});
            return host;
        };
        const auto outcome = [](QProcess* host) {
            host->waitForFinished(120000);
            return QString::fromUtf8(host->readAllStandardOutput()).trimmed();
        };
        const auto param = [&](const char* name) {
            return account.param("SA", QString::fromLatin1(name)).toString();
        };

        if (insideTheHold) {
            // B runs in another process from A's event callback, between
            // A's load and A's Finish.
            QFile fileB(account.dir() + "/b.script");
            QVERIFY(fileB.open(QIODevice::WriteOnly));
            fileB.write(scriptB.toUtf8());
            fileB.close();
            QStringList commandB{ZXWIZARD_CLI, "run"};
            commandB << account.cliArgs() << "--sys"
                     << "SA"
                     << "--script" << fileB.fileName();
            for (QString& word : commandB)
                word = "'" + word.replace("'", R"('\'')") + "'";
            const QString afterA =
                outcome(holding(scriptA, account.dir(), commandB.join(' ') + " >/dev/null 2>&1"));
            QVERIFY2(afterA.startsWith("result 1 another user changed"), qPrintable(afterA));
            QVERIFY2(afterA.contains("SA bSaleDaily"), qPrintable(afterA));
            QCOMPARE(param("bSaleDaily"), QString("TRUE"));
            QCOMPARE(param("bSaleMove"), QString("FALSE"));
            QCOMPARE(param("dSaleStartDate"), QString("2001-5-1"));
            return;
        }

        // Both load; A finishes first and is written; B, finishing after,
        // is refused with A's changes named.
        const auto waitFor = [](const QString& path) {
            for (int i = 0; i < 12000 && !QFile::exists(path); ++i)
                QTest::qWait(10);
            return QFile::exists(path);
        };
        QTemporaryDir dirA, dirB;
        QProcess* hostA = holding(scriptA, dirA.path());
        QVERIFY(waitFor(dirA.path() + "/loaded"));
        QProcess* hostB = holding(scriptB, dirB.path());
        QVERIFY(waitFor(dirB.path() + "/loaded"));
        QFile(dirA.path() + "/go").open(QIODevice::WriteOnly);
        QCOMPARE(outcome(hostA), QString("result 0"));
        QCOMPARE(param("bSaleMove"), QString("TRUE"));
        QFile(dirB.path() + "/go").open(QIODevice::WriteOnly);
        const QString afterB = outcome(hostB);
        QVERIFY2(afterB.startsWith("result 1 another user changed"), qPrintable(afterB));
        QVERIFY2(afterB.contains("SA bSaleMove") && afterB.contains("SA dSaleStartDate"),
                 qPrintable(afterB));
        QCOMPARE(param("bSaleDaily"), QString("FALSE"));
        QCOMPARE(param("dSaleStartDate"), QString("2001-4-1"));
    }

    // A host that calls the C interface again from inside a run (its
    // event callback) gets a refusal, never a crash, and the run's own
    // result and error; an action that cannot be played fails the call.
    void cInterfaceCalls_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("inside");  // the call made from the first event
        QTest::addColumn<QString>("output");  // what the host prints
        const QString shown = QStringLiteral("dump\nclose");
        QTest::newRow("a run from the callback")
            << shown << "run"
            << "inside -1 a wizard is already running in this process\nresult 3";
        QTest::newRow("the account closed from the callback")
            << shown << "close"
            << "inside zxwizard_db_close refused: a run on this account is going\nresult 3";
        QTest::newRow("the wizard released from the callback")
            << shown << "release"
            << "inside zxwizard_release refused: its run is going\nresult 3";
        QTest::newRow("an action that cannot be played")
            << "click ComE\nclose"
            << "none"
            << "result -1 the script was not played to its end: line 1: ComE is not visible";
    }
    void cInterfaceCalls() {
        QFETCH(QString, script);
        QFETCH(QString, inside);
        QFETCH(QString, output);
        TestAccount account;
        QVERIFY(runCli({"register"}).exitCode == 0);
        const QString before = account.dump();
        QProcess host;
        host.start(EVENT_HOST, {account.connectionText(), "ST", script, inside});
        QVERIFY(host.waitForFinished(60000));
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(host.readAllStandardOutput()).trimmed(), output);
        QCOMPARE(account.dump(), before);
    }

    // The row FindFirst shows is the row the save changes, whatever the
    // spelling of its key, or the run writes nothing (result 1). Each row
    // spells SA bSaleDaily another way; the user ticks it (Ch43).
    void saveChangesTheRowShown_data() {
        QTest::addColumn<QStringList>("keys");  // cSysID, cName literals, in table order
        QTest::addColumn<bool>("written");      // must end 0 on every database
        QTest::newRow("as created") << QStringList{"'SA', 'bSaleDaily'"} << true;
        QTest::newRow("another case") << QStringList{"'sa', 'BSALEDAILY'"} << true;
        QTest::newRow("long s") << QStringList{"'SA', 'bſaleDaily'"} << false;
        QTest::newRow("trailing blank") << QStringList{"'SA', 'bSaleDaily '"} << false;
        QTest::newRow("sharp s, no key") << QStringList{"'SA', 'bSaleDaißy'"} << false;
        QTest::newRow("two spellings")
            << QStringList{"'SA', 'bSaleDaily'", "'sa', 'bsaledaily'"} << false;
        QTest::newRow("other spelling first")
            << QStringList{"'Sa', 'BSaleDaily'", "'SA', 'bSaleDaily'"} << false;
        QTest::newRow("blob key") << QStringList{"'SA', cast('bSaleDaily' as blob)"} << false;
    }
    void saveChangesTheRowShown() {
        QFETCH(QStringList, keys);
        QFETCH(bool, written);
        if (TestAccount::onServer() && keys.join(' ').contains("blob"))
            QSKIP("a server's text column holds no blob");
        TestAccount account;
        account.exec("delete from AccInformation where cSysID='SA' and cName='bSaleDaily'");
        for (int i = 0; i < keys.size(); ++i)
            account.exec(QString("insert into AccInformation (cSysID, cName, cCaption, cValue, "
                                 "cDefault) values (%1, 'probe%2', 'FALSE', 'FALSE')")
                             .arg(keys[i])
                             .arg(i));
        QString shown;
        {
            const auto db = account.open();
            const auto rs = db->OpenRecordset("select * from AccInformation");
            rs->FindFirst("cSysID='SA' and cName='bSaleDaily'");
            shown = rs->Recordset().Fields("cCaption").textOrEmpty();
        }
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA", "--json"},
                   "click ComN\nclick Ch43\npaste Te43 4\nclick ComE");
        QStringList probes;
        for (int i = 0; i < keys.size(); ++i)
            probes << account
                          .value(QString("select cValue from AccInformation where "
                                         "cCaption='probe%1'")
                                     .arg(i))
                          .toString();
        QStringList expected(keys.size(), "FALSE");
        if (run.exitCode == 0 && !shown.isEmpty())
            expected[shown.mid(5).toInt()] = "TRUE";
        QCOMPARE(probes, expected);
        if (written)
            QCOMPARE(run.exitCode, 0);
        else
            QVERIFY2(run.exitCode == 0 ||
                         (run.exitCode == 1 && run.stderrText.contains("SA bSaleDaily")),
                     qPrintable(run.stderrText));
    }

    // An account as other programs leave it after years: a password in an
    // older encoding, an identifier stored as a blob, keys in another case,
    // the parameter table rebuilt in another column order with a column of
    // its own. A run changes exactly what the user changed and what the
    // rules derive from it, and reports each of those rows.
    void legacyAccountChangesOnlyWhatItShould() {
        if (TestAccount::onServer())
            QSKIP("raw bytes and blobs are the embedded database's");
        TestAccount account;
        account.given({"SA.bCredit=TRUE", "AA.bRemote=TRUE"});
        for (const char* sql :
             {"update AccInformation set cValue=cast(x'C3DCC2EB' as text) "
              "where cSysID='SA' and cName='cCreditPwd'",
              "update AccInformation set cValue=x'3432' where cSysID='AA' and cName='cID'",
              "update AccInformation set cSysID='sa', cName='BSALEMOVE' "
              "where cSysID='SA' and cName='bSaleMove'",
              "create table rebuilt (cNote TEXT, cValue TEXT COLLATE NOCASE, bEnable INTEGER, "
              "cName TEXT COLLATE NOCASE NOT NULL, cDefault TEXT COLLATE NOCASE, cType TEXT, "
              "cSysID TEXT COLLATE NOCASE NOT NULL, cCaption TEXT, cID TEXT, bVisible INTEGER)",
              "insert into rebuilt select 'legacy', cValue, bEnable, cName, cDefault, cType, "
              "cSysID, cCaption, cID, bVisible from AccInformation",
              "drop table AccInformation", "alter table rebuilt rename to AccInformation"})
            account.exec(QString::fromUtf8(sql));
        const auto rows = [&] {
            return account
                .value(
                    "select group_concat(k, char(10)) from (select cSysID||'/'||cName||'='||"
                    "typeof(cValue)||':'||hex(cValue) as k from AccInformation order by k)")
                .toString()
                .split('\n');
        };
        const QStringList before = rows();
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA", "--json"},
                   "click ComN\nclick Ch43\npaste Te43 4\nclick ComE");
        QCOMPARE(run.exitCode, 0);
        const QStringList after = rows();
        QStringList changed;
        for (const QString& row : after)
            if (!before.contains(row))
                changed << row.section('=', 0, 0).toLower();
        changed.sort();
        QStringList reported;
        for (const QJsonObject& e : run.eventsOf("changed"))
            reported
                << (e.value("cSysID").toString() + '/' + e.value("cName").toString()).toLower();
        reported.sort();
        QCOMPARE(changed, reported);
        // What the rules write on any account: the same rows as on a new one.
        TestAccount fresh;
        fresh.given({"SA.bCredit=TRUE", "AA.bRemote=TRUE", "AA.cID=42", "SA.cCreditPwd=pw"});
        const CliResult plain =
            runCli(QStringList{"run"} + fresh.cliArgs() + QStringList{"--sys", "SA", "--json"},
                   "click ComN\nclick Ch43\npaste Te43 4\nclick ComE");
        QStringList expected;
        for (const QJsonObject& e : plain.eventsOf("changed"))
            expected
                << (e.value("cSysID").toString() + '/' + e.value("cName").toString()).toLower();
        expected.sort();
        QVERIFY(expected.contains("sa/bsaledaily"));
        QCOMPARE(changed, expected);
        QVERIFY(after.contains("SA/cCreditPwd=text:C3DCC2EB"));
        QVERIFY(after.contains("AA/cID=blob:3432"));
        QVERIFY(after.contains("sa/BSALEMOVE=text:" + QByteArray("FALSE").toHex().toUpper()));
    }

    // On a terminal the run is told in words; --json keeps JSON Lines there.
    void terminalOutput() {
        if (TestAccount::onServer())
            QSKIP("does not depend on the database");
        TestAccount account;
        QFile script(account.dir() + "/script");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "# The sales page.\nclick ComN\nclick ComE\nclick Ch49\ntype Te41 s3cret\n"
            "paste Te43 2\nclick ComE\n");
        script.close();
        const QStringList args = QStringList{"run"} + account.cliArgs() +
                                 QStringList{"--sys", "SA", "--script", script.fileName()};
        const QString words = onTerminal(args);
        for (const char* said : {"The sales page\\.", "必须录入启用月份", "Written",
                                 "cCreditPwd +\\*\\*\\*\\n", "dSaleStartDate +2001-2-1"})
            QVERIFY2(words.contains(QRegularExpression(QString::fromUtf8(said))),
                     qPrintable(words));
        QVERIFY(!words.contains("s3cret") && !words.contains("{\""));
        QVERIFY(
            onTerminal(args + QStringList{"--json"}).contains("{\"code\":0,\"event\":\"result\"}"));
    }

    void badInput_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exit");
        const struct {
            const char* args;
            int exit;
        } rows[] = {{"run --db /nonexistent/ZXDATA_001_2001.db --sys SA", 4},
                    {"run --db x.db", 64},
                    {"run --db x.db --sys SA --bogus", 64},
                    {"frobnicate", 64},
                    {"show --db /nonexistent/a.db", 1},
                    {"run --db x.db --sys XX", 64},
                    {"show --db x.db --sys s", 64},
                    {"create-account /nonexistent --year 1979", 64},
                    {"create-account /nonexistent --year 2051", 64},
                    {"create-account /nonexistent --year 20", 64},
                    {"create-account /nonexistent --account 12", 64},
                    {"run --db x.db --db y.db --sys SA", 64},
                    {"run --db x.db --sys SA --script /dev/zero", 64},
                    {"apply /dev/zero --sys SA --db x.db", 64},
                    {"apply /dev/null --sys SA --db /etc/passwd /etc/../etc/passwd", 64}};
        for (const auto& row : rows)
            QTest::newRow(row.args) << QString::fromLatin1(row.args) << row.exit;
    }
    void badInput() {
        if (TestAccount::onServer())
            QSKIP("files only");
        QFETCH(QString, args);
        QFETCH(int, exit);
        const CliResult run =
            runCli(args.split(' '), args.startsWith("run") ? QStringLiteral("close") : QString());
        QCOMPARE(run.exitCode, exit);
        QVERIFY(!run.stderrText.trimmed().isEmpty());
        QVERIFY(!QFile::exists("/nonexistent/ZXDATA_001_2001.db"));
    }

    // A junk account file or a missing system database ends the call,
    // naming what is wrong, and creates nothing.
    void unusableFiles() {
        if (TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
        QFile junk(account.dir() + "/ZXDATA_009_2001.db");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QCOMPARE(runCli({"run", "--db", junk.fileName(), "--sys", "SA"}, "close").exitCode, 4);
        QVERIFY(QFile::remove(account.systemPath()));
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"}, "close");
        QCOMPARE(run.exitCode, 4);
        QVERIFY(run.stderrText.contains("zxsystem.db"));
        QVERIFY(!QFile::exists(account.systemPath()));
    }

    // Nothing a person could see: no script is a usage error, and the demo
    // plays its bundled script instead of waiting for ever.
    void noScreen_data() {
        QTest::addColumn<QString>("platform");
        for (const char* platform : {"", "offscreen", "minimal", "xcb", "offscreen;xcb"})
            QTest::newRow(platform) << QString::fromLatin1(platform);
    }
    void noScreen() {
        if (TestAccount::onServer())
            QSKIP("does not depend on the database");
        QFETCH(QString, platform);
        const QStringList env{"QT_QPA_PLATFORM=" + platform};
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"}, {}, env);
        QCOMPARE(run.exitCode, 64);
        QVERIFY(run.stderrText.contains("--script"));
        QCOMPARE(run.stderrText.trimmed().count('\n'), 0);

        QProcess demo;
        QProcessEnvironment demoEnv = QProcessEnvironment::systemEnvironment();
        demoEnv.remove("DISPLAY");
        demoEnv.insert("QT_QPA_PLATFORM", platform);
        demo.setProcessEnvironment(demoEnv);
        demo.setWorkingDirectory(account.dir());
        demo.start(ZXWIZARD_CLI, {"demo"});
        QVERIFY(demo.waitForFinished(60000));
        QCOMPARE(demo.exitCode(), 0);
        QVERIFY(demo.readAllStandardOutput().contains("\"result\""));
    }

    // A picture never lands on a database, a folder or an unknown format;
    // the system database is never the account. All are refused before the
    // run, leaving everything as it was; a picture that may be written
    // follows its extension.
    void screenshotAndSystemTargets_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("format");  // of the picture written; none: refused
        for (const char* refused :
             {"--screenshot %account", "--screenshot %system", "--screenshot %account-journal",
              "--screenshot %dir/no/w.png", "--screenshot %dir/sub.png", "--screenshot %dir/w.bmp",
              "--system-db %account"})
            QTest::newRow(refused) << refused << "";
        QTest::newRow("png") << "--screenshot %dir/w.png"
                             << "png";
        QTest::newRow("JPG") << "--screenshot %dir/w.JPG"
                             << "jpeg";
    }
    void screenshotAndSystemTargets() {
        if (TestAccount::onServer())
            QSKIP("files only");
        QFETCH(QString, options);
        QFETCH(QString, format);
        TestAccount account;
        QVERIFY(QDir(account.dir()).mkdir("sub.png"));
        options.replace("%account", account.path())
            .replace("%system", account.systemPath())
            .replace("%dir", account.dir());
        const QByteArray bytes = fileBytes(account);
        const QStringList files = QDir(account.dir()).entryList(QDir::AllEntries);
        const CliResult run =
            runCli(QStringList{"run", "--db", account.path(), "--sys", "SA"} + options.split(' '),
                   "click ComN\nclose");
        if (!format.isEmpty()) {
            QCOMPARE(run.exitCode, 3);
            QCOMPARE(QImageReader(options.section(' ', 1)).format(), format.toLatin1());
            return;
        }
        QCOMPARE(run.exitCode, 64);
        QCOMPARE(run.eventsOf("result").size(), 0);
        QCOMPARE(fileBytes(account), bytes);
        QCOMPARE(QDir(account.dir()).entryList(QDir::AllEntries), files);
    }

    void createAccountRefusesToOverwrite() {
        if (TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
        const QString before = account.dump();
        const CliResult again = runCli({"create-account", account.dir(), "--year", "2001"});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.stderrText.contains("already exists"));
        QCOMPARE(account.dump(), before);
        const CliResult other =
            runCli({"create-account", account.dir(), "--account", "002", "--year", "2001"});
        QCOMPARE(other.exitCode, 0);
        QCOMPARE(account.value("select count(*) from zxsystem.ua_period"), QVariant(24));
        QCOMPARE(runCli({"create-account", account.dir(), "--account", "2"}).exitCode, 64);
        // A system database that refuses a period half way keeps none of them.
        account.exec(
            "create trigger zxsystem.refuseJuly before insert on ua_period"
            " when new.iId = 7 begin select raise(abort, 'refused'); end");
        const CliResult refused =
            runCli({"create-account", account.dir(), "--account", "003", "--year", "2001"});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(account.value("select count(*) from zxsystem.ua_period where cAcc_Id='003'"),
                 QVariant(0));
        QVERIFY(!QFile::exists(account.dir() + "/ZXDATA_003_2001.db"));
    }

    // Paths come from whoever named the folders: every command shows them
    // with their control characters escaped, never as raw bytes.
    void pathsShownEscaped_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("create-account") << QStringList{"create-account", "%dir", "--year", "2001"};
        QTest::newRow("register") << QStringList{"register"};
        QTest::newRow("unregister") << QStringList{"unregister"};
        QTest::newRow("demo") << QStringList{"demo"};
    }
    void pathsShownEscaped() {
        if (TestAccount::onServer())
            QSKIP("files only");
        QFETCH(QStringList, args);
        QTemporaryDir base;
        const QString dir = base.path() + "/\x1b[31m\x07x";
        QVERIFY(QDir().mkpath(dir));
        args.replaceInStrings("%dir", dir);
        QProcess command;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.insert("ZXCOM_REGISTRY", dir + "/registry.ini");
        command.setProcessEnvironment(env);
        command.setWorkingDirectory(dir);
        command.start(ZXWIZARD_CLI, args);
        QVERIFY(command.waitForFinished(60000));
        QCOMPARE(command.exitCode(), 0);
        const QByteArray out = command.readAllStandardOutput();
        QVERIFY2(!out.contains('\x1b') && !out.contains('\x07'), out.constData());
        QVERIFY2(out.contains("\\u001b[31m\\u0007x"), out.constData());
    }

    // unregister says what became of the entry: another library's stays.
    void unregisterSaysWhatItDid_data() {
        QTest::addColumn<QString>("registered");  // the library named before; "" none
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("stays");
        QTest::newRow("nothing registered") << ""
                                            << "ZXWizard.Wizard was not registered in " << false;
        QTest::newRow("this library") << "%built"
                                      << "unregistered ZXWizard.Wizard (" << false;
        QTest::newRow("another library")
            << "/opt/other/libzxwizard.so"
            << "ZXWizard.Wizard stays registered in %registry: it names /opt/other/libzxwizard.so, "
               "not "
            << true;
    }
    void unregisterSaysWhatItDid() {
        if (TestAccount::onServer())
            QSKIP("does not depend on the database");
        QFETCH(QString, registered);
        QFETCH(QString, said);
        QFETCH(bool, stays);
        QTemporaryDir dir;
        const QString path = dir.filePath("registry.ini");
        const QStringList env{"ZXCOM_REGISTRY=" + path};
        if (registered == "%built")
            QCOMPARE(runCli({"register"}, QString(), env).exitCode, 0);
        else if (!registered.isEmpty())
            QVERIFY(zx::com::ComRegistry(path).registerClass(
                zx::wizard::ProgId, zx::wizard::CLSID_Wizard, registered, nullptr));
        const CliResult run = runCli({"unregister"}, QString(), env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.stdoutText.startsWith(said.replace("%registry", path)),
                 qPrintable(run.stdoutText));
        QCOMPARE(zx::com::ComRegistry(path).clsidFromProgId(zx::wizard::ProgId).has_value(), stays);
    }

    void unreachableServer() {
        if (!TestAccount::onServer())
            QSKIP("needs the test server");
        const CliResult run = runCli({"run", "--odbc",
                                      "Driver={PostgreSQL Unicode};Servername=/nonexistent;Port=1;"
                                      "Database=ZXDATA_001_2001;Uid=postgres;Pwd=s3cret",
                                      "--sys", "SA"},
                                     "close");
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.stderrText.trimmed().count('\n'), 0);
        QVERIFY(!run.stderrText.contains("s3cret") && !run.stdoutText.contains("s3cret"));
    }

    void showListsRows() {
        TestAccount account;
        account.setParam("SA", "cCreditPwd", "secret");
        const CliResult show =
            runCli(QStringList{"show"} + account.cliArgs() + QStringList{"--sys", "SA"});
        QCOMPARE(show.exitCode, 0);
        QVERIFY(show.stdoutText.contains("dSaleStartDate"));
        QVERIFY(!show.stdoutText.contains("bStrsAuxUnit"));
        QVERIFY(!show.stdoutText.contains("secret"));
    }
};

QTEST_GUILESS_MAIN(TestRun)
#include "tst_run.moc"
