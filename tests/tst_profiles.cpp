// Profiles: an account's choices exported as a script of set actions and
// applied to many accounts, each through its own guards and start rules.

#include "AccountFiles.h"
#include "CliRun.h"
#include "TestAccount.h"
#include "dbkit/ConnectionText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QString writeFile(const QString& path, const QString& text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
    return path;
}

// How apply names an account in its report.
QString label(const TestAccount& account) {
    return TestAccount::onServer() ? zx::db::maskedConnectionText(account.cliArgs().value(1))
                                   : account.path();
}

// Every parameter row but the start months, which each account derives.
QStringList choices(const TestAccount& account) {
    QStringList rows;
    auto db = account.open();
    auto rs = db->OpenRecordset("select cSysID, cName, cValue from AccInformation");
    for (; !rs->Eof(); rs->MoveNext()) {
        auto& f = rs->Recordset();
        if (!f.Fields("cName").textOrEmpty().startsWith('d'))
            rows << f.Fields("cSysID").textOrEmpty() + " " + f.Fields("cName").textOrEmpty() + "=" +
                        f.Fields("cValue").textOrEmpty();
    }
    rows.sort();
    return rows;
}

QStringList withoutComments(const QString& profile) {
    QStringList lines = profile.split('\n');
    lines.removeIf([](const QString& l) { return l.startsWith('#'); });
    return lines;
}

}  // namespace

class TestProfiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportThenApply() {
        TestAccount source;
        QCOMPARE(runCli(QStringList{"run"} + source.cliArgs() + QStringList{"--sys", "SA"},
                        "click Ch11\nclick Ch14\ntype Te11 07\nclick ComN\nclick Ch49\n"
                        "type Te41 \"p\\\"w\"\nclick Ch47\npaste Te43 5\nclick ComE")
                     .exitCode,
                 0);
        const CliResult bare =
            runCli(QStringList{"export"} + source.cliArgs() + QStringList{"--sys", "sa"});
        QCOMPARE(bare.exitCode, 0);
        QVERIFY(bare.stdoutText.contains("# Te41") && !bare.stdoutText.contains("p\\\"w"));
        const CliResult full = runCli(QStringList{"export"} + source.cliArgs() +
                                      QStringList{"--sys", "SA", "--with-passwords"});
        QCOMPARE(full.exitCode, 0);

        TestAccount target;
        const QString profile = writeFile(target.dir() + "/sa.profile", full.stdoutText);
        const CliResult apply =
            runCli(QStringList{"apply", profile, "--sys", "SA"} + target.cliArgs());
        QCOMPARE(apply.exitCode, 0);
        QVERIFY2(apply.stdoutText.startsWith("written " + label(target) + ": "),
                 qPrintable(apply.stdoutText));
        QVERIFY(apply.stdoutText.endsWith("1 account: 1 written, 0 refused, 0 failed\n"));
        QCOMPARE(choices(target), choices(source));
        QCOMPARE(target.param("SA", "cCreditPwd").toString(), QStringLiteral("p\"w"));

        // The same choices read back give the same profile, line for line.
        const CliResult again = runCli(QStringList{"export"} + target.cliArgs() +
                                       QStringList{"--sys", "SA", "--with-passwords"});
        QCOMPARE(withoutComments(again.stdoutText), withoutComments(full.stdoutText));
    }

    // One line per account, whatever the others came to; nothing written
    // but where the line says so, and nothing at all in a dry run.
    void applyReportsEachAccount() {
        TestAccount fresh, auxUnits, derived;
        auxUnits.setParam("AA", "bStrsAuxUnit", "TRUE");
        auxUnits.exec("insert into Inventory (cInvCode,cInvA_Unit) values ('1','box')");
        derived.setParam("PU", "dPUStartDate", "2001-3-1");
        const QString profile =
            writeFile(fresh.dir() + "/p",
                      "set Ch11 0\nclick ComN\nset Ch49 1\nset Te41 pw\nset Te43 4\n"
                      "click ComE\n");
        const QString missing = fresh.dir() + "/ZXDATA_002_2001.db";
        QStringList args{"apply", profile, "--sys", "SA", "--jobs", "2", "--db", missing};
        for (const TestAccount* a : {&fresh, &auxUnits, &derived})
            args += a->cliArgs();
        const QStringList before{fresh.dump(), auxUnits.dump(), derived.dump()};

        const CliResult dry = runCli(args + QStringList{"--dry-run"});
        QCOMPARE(dry.exitCode, 1);
        QVERIFY2(dry.stdoutText.contains(
                     QRegularExpression("would write " + QRegularExpression::escape(label(fresh)) +
                                        ": .*SA dSaleStartDate \"\" -> \"2001-4-1\"")),
                 qPrintable(dry.stdoutText));
        QCOMPARE((QStringList{fresh.dump(), auxUnits.dump(), derived.dump()}), before);

        const CliResult run = runCli(args);
        QCOMPARE(run.exitCode, 1);
        const QString expected[][2] = {
            {"written " + label(fresh), ""},
            {"refused " + label(auxUnits), "已存在有辅计量单位存货，不能修改此项设置"},
            {"failed " + label(derived), "Te43 is disabled: Te43 holds \"3\", not \"4\""},
            {"failed " + missing, "not found"}};
        for (const auto& [start, detail] : expected) {
            const QStringList lines = run.stdoutText.split('\n').filter(start + ": ");
            QVERIFY2(lines.size() == 1 && lines[0].startsWith(start) && lines[0].contains(detail),
                     qPrintable(start + "\n" + run.stdoutText));
        }
        QVERIFY(run.stdoutText.endsWith("4 accounts: 1 written, 1 refused, 2 failed\n"));
        QCOMPARE(fresh.param("SA", "dSaleStartDate").toString(), QStringLiteral("2001-4-1"));
        QCOMPARE(auxUnits.dump(), before[1]);
        QCOMPARE(derived.dump(), before[2]);
    }

    // The profile is read once, by apply: from a pipe, standard input or a
    // FIFO every account gets what was checked.
    void profileReadOnce_data() {
        QTest::addColumn<QString>("profile");  // %fifo: a FIFO fed the profile
        QTest::addColumn<bool>("onStdin");
        QTest::newRow("- for standard input") << "-" << true;
        QTest::newRow("/dev/stdin") << "/dev/stdin" << true;
        QTest::newRow("a FIFO") << "%fifo" << false;
    }
    void profileReadOnce() {
        QFETCH(QString, profile);
        QFETCH(bool, onStdin);
        TestAccount first, second;
        const QByteArray text = "set Ch11 1\nclick ComN\nset Te43 2\nclick ComE\n";
        QProcess feeder;
        if (profile == "%fifo") {
            profile = first.dir() + "/fifo";
            QCOMPARE(::mkfifo(QFile::encodeName(profile).constData(), 0600), 0);
            writeFile(first.dir() + "/p", QString::fromUtf8(text));
            feeder.start("sh", {"-c", "cat \"$0\" > \"$1\"", first.dir() + "/p", profile});
        }
        QProcess apply;
        apply.start(ZXWIZARD_CLI, QStringList{"apply", profile, "--sys", "SA", "--jobs", "2"} +
                                      first.cliArgs() + second.cliArgs());
        if (onStdin)
            apply.write(text);
        apply.closeWriteChannel();
        const bool finished = apply.waitForFinished(30000);
        if (!finished)
            apply.kill();
        feeder.kill();
        feeder.waitForFinished();
        QVERIFY2(finished, "apply hung");
        const QString out = QString::fromUtf8(apply.readAllStandardOutput());
        QCOMPARE(apply.exitCode(), 0);
        QVERIFY2(out.endsWith("2 accounts: 2 written, 0 refused, 0 failed\n"), qPrintable(out));
        QCOMPARE(first.param("SA", "dSaleStartDate").toString(), QStringLiteral("2001-2-1"));
        QCOMPARE(second.param("SA", "dSaleStartDate").toString(), QStringLiteral("2001-2-1"));
    }

    // What apply refuses before any account runs: nothing is written.
    void applyUsageErrors_data() {
        QTest::addColumn<QString>("heading");  // the profile's first line
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("said");
        const QString pu = "# zxwizard profile: the PU setup of /a, exported 2026-01-01.";
        QTest::newRow("a PU profile on AA")
            << pu << QStringList{"--sys", "AA", "--odbc", "DSN=nowhere"} << 64
            << "the profile was exported for PU, not AA";
        QTest::newRow("a PU profile on pu")
            << pu << QStringList{"--sys", "pu", "--odbc", "DSN=nowhere"} << 1 << "";
        QTest::newRow("a script naming no subsystem")
            << "# by hand" << QStringList{"--sys", "AA", "--odbc", "DSN=nowhere"} << 1 << "";
        QTest::newRow("one server account twice")
            << pu << QStringList{"--sys", "PU", "--odbc", "DSN=zx1", "--odbc", "DSN=zx1"} << 64
            << "DSN=zx1 is named twice (as DSN=zx1)";
        QTest::newRow("a data source by its name alone, another login")
            << pu
            << QStringList{"--sys", "PU", "--odbc", "DSN=zx1;UID=a;PWD=s3cret", "--odbc", "zx1"}
            << 64 << "is named twice";
        QTest::newRow("keys in another order and case")
            << pu << QStringList{"--sys",  "PU",
                                 "--odbc", "Driver=X;Server=h;Database=D",
                                 "--odbc", "server=h;DATABASE=D;driver=X"}
            << 64 << "is named twice";
        QTest::newRow("two databases of one server")
            << pu << QStringList{"--sys",  "PU",
                                 "--odbc", "Driver=X;Server=h;Database=D1",
                                 "--odbc", "Driver=X;Server=h;Database=D2"}
            << 1 << "";
    }
    void applyUsageErrors() {
        if (TestAccount::onServer())
            QSKIP("reaches no account");
        QFETCH(QString, heading);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString profile = writeFile(dir.filePath("p"), heading + "\nclick ComN\n");
        const CliResult run = runCli(QStringList{"apply", profile} + args);
        QCOMPARE(run.exitCode, exit);
        QVERIFY2(run.stderrText.contains(said), qPrintable(run.stderrText));
        QVERIFY(!run.stderrText.contains("s3cret"));
        if (exit == 64)
            QVERIFY2(run.stdoutText.isEmpty(), qPrintable(run.stdoutText));
    }

    // A profile with passwords is written for its owner alone (-o), or the
    // command says where the passwords went.
    void exportTargets_data() {
        QTest::addColumn<bool>("passwords");
        QTest::addColumn<QString>("to");  // -o FILE, stdout redirected to FILE, or a terminal
        QTest::addColumn<int>("before");  // FILE's mode before; 0: none
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("warned");
        QTest::newRow("-o, new") << true << "-o" << 0 << 0600 << false;
        QTest::newRow("-o over a file everyone reads") << true << "-o" << 0644 << 0600 << false;
        QTest::newRow("stdout, a file everyone reads") << true << "stdout" << 0644 << 0644 << true;
        QTest::newRow("stdout, the owner's file") << true << "stdout" << 0600 << 0600 << false;
        QTest::newRow("stdout, no passwords") << false << "stdout" << 0644 << 0644 << false;
        QTest::newRow("a terminal") << true << "terminal" << 0 << 0 << true;
        QTest::newRow("a terminal, no passwords") << false << "terminal" << 0 << 0 << false;
    }
    void exportTargets() {
        QFETCH(bool, passwords);
        QFETCH(QString, to);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, warned);
        TestAccount account;
        account.given({"SA.bCredit=TRUE", "SA.cCreditPwd=s3cret"});
        const QString target = account.dir() + "/sa.profile";
        if (before) {
            writeFile(target, "old");
            QVERIFY(::chmod(QFile::encodeName(target).constData(), before) == 0);
        }
        QStringList args = QStringList{"export", "--sys", "SA"} + account.cliArgs();
        if (passwords)
            args << "--with-passwords";
        QByteArray profile;
        QString errors;
        if (to == "terminal") {
            profile = onTerminal(args).toUtf8();
            errors = QString::fromUtf8(profile);
        } else {
            QProcess command;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("T", target);
            command.setProcessEnvironment(env);
            if (to == "-o")
                command.start(ZXWIZARD_CLI, args << "-o" << target);
            else
                command.start(
                    "sh", QStringList{"-c", "exec \"$0\" \"$@\" > \"$T\"", ZXWIZARD_CLI} + args);
            QVERIFY(command.waitForFinished(60000));
            QCOMPARE(command.exitCode(), 0);
            errors = QString::fromUtf8(command.readAllStandardError());
            QFile written(target);
            QVERIFY(written.open(QIODevice::ReadOnly));
            profile = written.readAll();
            struct stat status {};
            QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
            QCOMPARE(int(status.st_mode & 0777), after);
        }
        QVERIFY2(profile.contains("# zxwizard profile: the SA setup"), profile.constData());
        QCOMPARE(profile.contains("s3cret"), passwords);
        QVERIFY2(errors.contains("zxwizard: warning: the profile") == warned, qPrintable(errors));
    }

    // Fifty account files (and ten server databases) in one apply.
    void manyAccounts() {
        QTemporaryDir dir;
        QStringList args{"apply",
                         writeFile(dir.filePath("p"),
                                   "set Ch11 1\nclick ComN\n"
                                   "set Te43 2\nclick ComE\n"),
                         "--sys",
                         "SA",
                         "--jobs",
                         "2"};
        QStringList files;
        for (int i = 0; i < 50; ++i) {
            files << zx::host::createAccount(dir.filePath(QString::number(i)), "001", "2001")
                         .accountFile;
            args << "--db" << files.last();
        }
        std::vector<std::unique_ptr<TestAccount>> servers;
        for (int i = 0; TestAccount::onServer() && i < 10; ++i) {
            servers.push_back(std::make_unique<TestAccount>());
            args += servers.back()->cliArgs();
        }
        const CliResult run = runCli(args);
        const int all = int(files.size() + servers.size());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.stdoutText.split('\n').filter(QRegularExpression("^written ")).size(), all);
        QVERIFY(run.stdoutText.endsWith(
            QString("%1 accounts: %1 written, 0 refused, 0 failed\n").arg(all)));
        for (const QString& file : files)
            QCOMPARE(TestAccount::paramIn(file, "SA", "dSaleStartDate"),
                     QStringLiteral("2001-2-1"));
        for (const auto& server : servers)
            QCOMPARE(server->param("SA", "dSaleStartDate").toString(), QStringLiteral("2001-2-1"));
    }
};

QTEST_GUILESS_MAIN(TestProfiles)
#include "tst_profiles.moc"
