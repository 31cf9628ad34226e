// `zxwizard run` end to end: each row a starting account, the user's
// actions as a script, and what the run must print, return and leave behind.

#include "CliRun.h"
#include "Scenario.h"
#include "Snapshot.h"
#include "TestAccount.h"
#include "dbkit/RowChangeLog.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Invalid = QStringLiteral("远程标识号录入无效(数字00-99)");
const QString MonthInvalid = QStringLiteral("启用月份录入无效");

QByteArray fileBytes(const TestAccount& account) {
    QByteArray bytes;
    for (const QString& path : {account.path(), account.systemPath()}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes += file.readAll();
    }
    return bytes;
}

// The command's output when its stdout is a terminal.
QString onTerminal(const QStringList& args) {
    std::vector<QByteArray> words{ZXWIZARD_CLI};
    for (const QString& a : args)
        words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    ::close(terminal);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(out).remove('\r');
}

QList<Scenario> scenarios() {
    QList<Scenario> s;
    // The account year in the database name.
    s.append({.name = "year 1980 accepted",
              .year = "1980",
              .script = "close",
              .exit = 3,
              .unchanged = true});
    s.append({.name = "year 2050 accepted",
              .year = "2050",
              .script = "close",
              .exit = 3,
              .unchanged = true});
    s.append({.name = "year 1979 refused",
              .year = "1979",
              .script = "close",
              .exit = 2,
              .messages = {"打开的数据库有问题！（1979）"},
              .unchanged = true});
    s.append({.name = "year 2051 refused",
              .year = "2051",
              .script = "close",
              .exit = 2,
              .messages = {"打开的数据库有问题！（2051）"},
              .unchanged = true});
    s.append({.name = "lower-case file name and code",
              .fileName = "zxdata_001_2001.db",
              .sys = "sa",
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .params = {{"SA", "dSaleStartDate", "2001-4-1"}}});
    s.append(
        {.name = "no ZXDATA_ in the name",
         .fileName = "account.db",
         .script = "close",
         .exit = 2,
         .messages = {"打开的数据库有问题！（QLit）"},
         .unchanged = true,
         .notOnServer = "the year is cut from the connection text, which differs by provider"});

    // Cancel, in every form, writes nothing.
    s.append({.name = "cancel on step 1",
              .script = "click Ch12\nclick ComC",
              .exit = 3,
              .unchanged = true});
    s.append({.name = "cancel on step 2",
              .script = "click ComN\nclick Ch47\nclick ComC1",
              .exit = 3,
              .unchanged = true});
    s.append(
        {.name = "close box", .script = "click ComN\nclose\ndump", .exit = 3, .unchanged = true});
    s.append({.name = "script ends with the window open",
              .script = "click ComN",
              .exit = 3,
              .unchanged = true});

    // The remote identification number on Next.
    s.append({.name = "remote one digit",
              .script = "click Ch14\ntype Te11 7\nclick ComN\ndump",
              .exit = 3,
              .messages = {Invalid},
              .controls = {{"ComN", "tag", "1"}}});
    s.append({.name = "remote two digits",
              .script = "click Ch14\ntype Te11 07\nclick ComN\ndump",
              .exit = 3,
              .controls = {{"ComN", "tag", "2"}}});
    s.append({.name = "remote digit and blank",
              .script = "click Ch14\ntype Te11 \"5 \"\nclick ComN\ndump",
              .exit = 3,
              .controls = {{"ComN", "tag", "2"}}});
    s.append({.name = "remote empty",
              .script = "click Ch14\nclick ComN\ndump",
              .exit = 3,
              .messages = {"远程标识号必须录入"},
              .controls = {{"ComN", "tag", "1"}}});
    s.append({.name = "remote letters filtered",
              .script = "click Ch14\ntype Te11 a-\nclick ComN\ndump",
              .exit = 3,
              .messages = {"远程标识号必须录入"},
              .controls = {{"ComN", "tag", "1"}}});
    s.append({.name = "remote unticked",
              .script = "click ComN\ndump",
              .exit = 3,
              .controls = {{"ComN", "tag", "2"}}});
    s.append({.name = "remote written",
              .script = "click Ch14\ntype Te11 42\nclick ComN\npaste Te43 1\nclick ComE",
              .params = {{"AA", "bRemote", "TRUE"}, {"AA", "cID", "42"}}});

    // The start month on Finish.
    for (const char* bad : {"0", "13", "abc", "3.5", "-1"})
        s.append({.name = bad,
                  .script = QStringLiteral("click ComN\npaste Te43 %1\nclick ComE\ndump").arg(bad),
                  .exit = 3,
                  .messages = {MonthInvalid},
                  .controls = {{"ComN", "tag", "2"}}});
    s.append({.name = "month empty",
              .script = "click ComN\nclick ComE\ndump",
              .exit = 3,
              .messages = {"必须录入启用月份"},
              .controls = {{"ComN", "tag", "2"}}});
    s.append(
        {.name = "month 12",
         .script = "click ComN\npaste Te43 12\nclick ComE\ndump",
         .params = {{"SA", "dSaleStartDate", "2001-12-1"}, {"SA", "dStartDate", "2001-12-01"}}});
    s.append(
        {.name = "month 03 kept as typed",
         .script = "click ComN\ntype Te43 03\nclick ComE",
         .params = {{"SA", "dSaleStartDate", "2001-03-1"}, {"SA", "dStartDate", "2001-03-01"}}});
    s.append({.name = "lines after Finish are skipped",
              .script = "click ComN\npaste Te43 5\nclick ComE\nclick ComC1",
              .params = {{"SA", "dSaleStartDate", "2001-5-1"}}});

    // Passwords: one message per press, the first failing check.
    s.append({.name = "both passwords empty",
              .script = "click ComN\nclick Ch49\nclick Ch410\nclick ComE",
              .exit = 3,
              .messages = {"必须录入信用额度控制口令"}});
    s.append({.name = "lowest-price password empty",
              .script = "click ComN\nclick Ch49\ntype Te41 pw\nclick Ch410\nclick ComE",
              .exit = 3,
              .messages = {"必须录入最低售价控制口令"}});

    // The department check of accounting by department.
    const QStringList conflict = {
        "insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) values ('01','D01','全月平均法')",
        "insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) values ('02','D01','先进先出法')"};
    s.append({.name = "department conflict",
              .setup = conflict,
              .sys = "IA",
              .script = "click ComN\nclick Op52\npaste Te55 2\nclick ComE\ndump",
              .exit = 3,
              .messages =
                  {"由于在仓库档案中几个不同计价方式的仓库属于同一部门，因此不能设置为按部门核算。"
                   "如果仍想设置为按部门核算，请在仓库档案中改变相应仓库的计价方式来解决此问题。"},
              .controls = {{"ComN", "tag", "2"}}});
    s.append({.name = "department quote in code",
              .setup = {"insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) values "
                        "('01','D''1','全月平均法')",
                        "insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) values "
                        "('02','D''1','全月平均法')"},
              .sys = "IA",
              .script = "click ComN\nclick Op52\npaste Te55 2\nclick ComE",
              .params = {{"IA", "cValueStyle", "按部门核算"}}});

    // AA: common page only, no checks, only common rows.
    s.append({.name = "common parameters alone",
              .sys = "AA",
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"AA", "bStrsAuxUnit", "FALSE"}, {"SA", "dSaleStartDate", ""}}});

    // Keys reach the focused control and go on to the window as a keyboard's do.
    s.append({.name = "keys",
              .script = "key Ch11 Space\nclick Ch14\nkey Te11 4\nkey Te11 x\nkey Te11 2\n"
                        "key Te11 Enter\ntype Te43 31\nkey Te43 Left\nkey Te43 Backspace\n"
                        "key Te43 Enter",
              .params = {{"AA", "bStrsAuxUnit", "TRUE"},
                         {"AA", "cID", "42"},
                         {"SA", "dSaleStartDate", "2001-1-1"}}});
    s.append({.name = "key Escape", .script = "click ComN\nkey Ch41 Escape", .exit = 3});

    // set changes a value only where it differs, through the same handlers.
    s.append({.name = "set is declarative",
              .script = "set Ch11 1\nset Ch11 1\nset Ch15 1\nclick ComN\nset Ch49 1\n"
                        "set Te41 \"p w\"\nset Te43 5\nset Te43 5\nclick ComE",
              .params = {{"AA", "bStrsAuxUnit", "TRUE"},
                         {"AA", "bGoodClass", "TRUE"},
                         {"SA", "cCreditPwd", "p w"},
                         {"SA", "dSaleStartDate", "2001-5-1"}}});
    const QString puInMarch = setParam("PU", "dPUStartDate", "2001-3-1");
    s.append({.name = "set keeps a derived month",
              .setup = {puInMarch},
              .script = "click ComN\nset Te43 3\nclick ComE",
              .params = {{"SA", "dSaleStartDate", "2001-3-1"}}});
    s.append({.name = "set cannot change a derived month",
              .setup = {puInMarch},
              .script = "click ComN\nset Te43 4\nclick ComE",
              .exit = 64,
              .unchanged = true,
              .errorContains = "Te43 is disabled: Te43 holds \"3\", not \"4\""});
    s.append({.name = "set refused by a guard",
              .setup = {setParam("ST", "bBatch", "TRUE"),
                        "insert into Inventory (cInvCode,bInvBatch) values ('1',1)"},
              .sys = "ST",
              .script = "click ComN\nset Ch21 0\nclick ComE",
              .exit = 64,
              .messages = {"已存在有批次管理的存货，不能修改此项设置"},
              .unchanged = true,
              .errorContains = "Ch21 still holds 1"});

    // Actions a user could not perform end the run as Cancel, status 64.
    s.append({.name = "unknown control",
              .script = "click ComN\nclick Nope\nclick ComE",
              .exit = 64,
              .unchanged = true});
    s.append({.name = "invisible control",
              .script = "click ComN\nclick Ch45\nclick ComE",
              .exit = 64,
              .unchanged = true});
    s.append({.name = "disabled control", .script = "click ComP", .exit = 64, .unchanged = true});
    s.append({.name = "wrong kind", .script = "type Ch11 1", .exit = 64, .unchanged = true});
    s.append(
        {.name = "syntax error", .script = "click ComN\njump ComE", .exit = 64, .unchanged = true});
    s.append({.name = "unknown key", .script = "key Ch11 F13", .exit = 64, .unchanged = true});
    return s;
}

}  // namespace

class TestRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scenario_data() {
        QTest::addColumn<int>("index");
        const auto all = scenarios();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(qPrintable(all[i].name)) << i;
    }
    void scenario() {
        QFETCH(int, index);
        runScenario(scenarios()[index]);
    }

    void messageTitles() {
        // Missing entries carry the fallback title; invalid ones the provider's empty one.
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
                   "click Ch14\nclick ComN\ntype Te11 7\nclick ComN\nclose");
        const auto messages = run.eventsOf("message");
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0].value("title").toString(), QStringLiteral("向导提示"));
        QCOMPARE(messages[1].value("title").toString(), QString());
    }

    void skippedAndResultEvents() {
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
                   "click ComN\nclick ComC1\n\n# done\nclick ComN\ndump");
        QCOMPARE(run.exitCode, 3);
        const auto skipped = run.eventsOf("skipped");
        QCOMPARE(skipped.size(), 2);
        QCOMPARE(skipped[0].value("line").toInt(), 5);
        QCOMPARE(skipped[1].value("line").toInt(), 6);
        QCOMPARE(run.resultCode(), 3);
    }

    void dumpDescribesTheWindow() {
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
                   "click ComN\nclick Ch49\ntype Te41 abc\ndump\nclose");
        const QJsonObject state = run.lastState();
        QCOMPARE(state.value("window").toObject().value("visible").toBool(), true);
        const QJsonObject c = state.value("controls").toObject();
        QCOMPARE(c.size(), 86);  // the whole inventory
        QCOMPARE(c.value("Te41").toObject().value("text").toString(), QStringLiteral("***"));
        QVERIFY(!run.stdoutText.contains(QStringLiteral("abc")));
        QCOMPARE(c.value("Ch45").toObject().value("visible").toBool(), false);
        QCOMPARE(c.value("La2").toObject().value("bold").toBool(), true);
    }

    // A failing save keeps the window (its last state is the Finish state),
    // writes nothing, shows no message and tells the host why.
    void failedSaveKeepsItsReason() {
        if (TestAccount::onServer())
            QSKIP("the failing trigger is written for the embedded database");
        TestAccount account;
        account.exec(
            "create trigger failSave before update on GL_mend begin select raise(abort, 'boom'); "
            "end");
        const QString before = account.dump();
        for (const char* dryRun : {"--json", "--dry-run"}) {
            const CliResult run =
                runCli(QStringList{"run", dryRun} + account.cliArgs() + QStringList{"--sys", "SA"},
                       "click ComN\npaste Te43 3\nclick Ch43\nclick ComE");
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.messages(), QStringList());
            QCOMPARE(account.dump(), before);
            QVERIFY(run.eventsOf("changed").isEmpty());
            const QJsonObject result = run.eventsOf("result").value(0);
            QVERIFY2(result.value("reason").toString().contains("boom"),
                     qPrintable(run.stdoutText));
            QVERIFY(run.stderrText.contains("boom"));
        }
    }

    // A dry run reports exactly what the real run then writes, and leaves
    // both databases as they were, byte for byte.
    void dryRun() {
        TestAccount account;
        const QStringList args =
            QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"};
        const QString script =
            "click Ch11\nclick ComN\nclick Ch49\ntype Te41 pw\npaste Te43 2\nclick ComE";
        const QString before = account.dump();
        const QByteArray bytes = TestAccount::onServer() ? QByteArray() : fileBytes(account);
        const CliResult dry = runCli(args + QStringList{"--dry-run"}, script);
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

    void controlCharactersAreEscaped() {
        TestAccount account;
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
                   QString::fromUtf8("\x1b]0;owned\x07\u202e"));
        QCOMPARE(run.exitCode, 64);
        QVERIFY2(run.stderrText.contains("\\u001b]0;owned\\u0007\\u202e"),
                 qPrintable(run.stderrText));
    }

    void badInput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::newRow("missing db")
            << QStringList{"run", "--db", "/nonexistent/ZXDATA_001_2001.db", "--sys", "SA"} << 4;
        QTest::newRow("no --sys") << QStringList{"run", "--db", "x.db"} << 64;
        QTest::newRow("unknown option")
            << QStringList{"run", "--db", "x.db", "--sys", "SA", "--bogus"} << 64;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 64;
        QTest::newRow("show missing db") << QStringList{"show", "--db", "/nonexistent/a.db"} << 1;
        QTest::newRow("unknown code") << QStringList{"run", "--db", "x.db", "--sys", "XX"} << 64;
        QTest::newRow("show unknown code")
            << QStringList{"show", "--db", "x.db", "--sys", "s"} << 64;
        for (const char* year : {"1979", "2051", "20"})
            QTest::newRow(year) << QStringList{"create-account", "/nonexistent", "--year", year}
                                << 64;
        QTest::newRow("account 12")
            << QStringList{"create-account", "/nonexistent", "--account", "12"} << 64;
        QTest::newRow("two --db") << QStringList{"run",  "--db",  "x.db", "--db",
                                                 "y.db", "--sys", "SA"}
                                  << 64;
        QTest::newRow("endless script")
            << QStringList{"run", "--db", "x.db", "--sys", "SA", "--script", "/dev/zero"} << 64;
        QTest::newRow("an account twice")
            << QStringList{"apply",       "/dev/null",         "--sys", "SA", "--db",
                           "/etc/passwd", "/etc/../etc/passwd"}
            << 64;
        QTest::newRow("endless profile")
            << QStringList{"apply", "/dev/zero", "--sys", "SA", "--db", "x.db"} << 64;
    }
    void badInput() {
        if (TestAccount::onServer())
            QSKIP("files only");
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        const CliResult run =
            runCli(args, args.first() == "run" ? QStringLiteral("close") : QString());
        QCOMPARE(run.exitCode, exit);
        QVERIFY(!run.stderrText.trimmed().isEmpty());
        QVERIFY(!QFile::exists("/nonexistent/ZXDATA_001_2001.db"));
    }

    void notAnAccountDatabase() {
        if (TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
        account.exec("drop table Warehouse");
        const QString before = account.dump();
        const CliResult run =
            runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"}, "close");
        QCOMPARE(run.exitCode, 4);
        QVERIFY(run.stderrText.contains("Warehouse"));
        QCOMPARE(account.dump(), before);

        QFile junk(account.dir() + "/ZXDATA_009_2001.db");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        QCOMPARE(runCli({"run", "--db", junk.fileName(), "--sys", "SA"}, "close").exitCode, 4);
    }

    void missingSystemDatabase() {
        if (TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
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
    // run, leaving everything as it was.
    void refusedTargets_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("picture on the account") << QStringList{"--screenshot", "%account"};
        QTest::newRow("picture on the system db") << QStringList{"--screenshot", "%system"};
        QTest::newRow("picture on its journal") << QStringList{"--screenshot", "%account-journal"};
        QTest::newRow("picture in a missing folder")
            << QStringList{"--screenshot", "%dir/no/w.png"};
        QTest::newRow("picture on a folder") << QStringList{"--screenshot", "%dir/sub.png"};
        QTest::newRow("picture as bmp") << QStringList{"--screenshot", "%dir/w.bmp"};
        QTest::newRow("system db is the account") << QStringList{"--system-db", "%account"};
    }
    void refusedTargets() {
        if (TestAccount::onServer())
            QSKIP("files only");
        QFETCH(QStringList, options);
        TestAccount account;
        QVERIFY(QDir(account.dir()).mkdir("sub.png"));
        for (QString& option : options)
            option.replace("%account", account.path())
                .replace("%system", account.systemPath())
                .replace("%dir", account.dir());
        const QByteArray bytes = fileBytes(account);
        const QStringList files = QDir(account.dir()).entryList(QDir::AllEntries);
        const CliResult run =
            runCli(QStringList{"run", "--db", account.path(), "--sys", "SA"} + options,
                   "click ComN\npaste Te43 2\nclick ComE");
        QCOMPARE(run.exitCode, 64);
        QCOMPARE(run.eventsOf("result").size(), 0);
        QCOMPARE(fileBytes(account), bytes);
        QCOMPARE(QDir(account.dir()).entryList(QDir::AllEntries), files);
    }

    void screenshotFollowsTheExtension() {
        if (TestAccount::onServer())
            QSKIP("files only");
        TestAccount account;
        for (const char* name : {"w.png", "w.JPG"}) {
            const QString path = account.dir() + "/" + name;
            const CliResult run = runCli(
                QStringList{"run", "--db", account.path(), "--sys", "SA", "--screenshot", path},
                "click ComN\nclose");
            QCOMPARE(run.exitCode, 3);
            QCOMPARE(QImageReader(path).format(),
                     QByteArray(path.endsWith("png") ? "png" : "jpeg"));
        }
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
