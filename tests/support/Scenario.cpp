#include "Scenario.h"

#include "CliRun.h"
#include "TestAccount.h"

#include <QJsonObject>
#include <QTest>

namespace {

QString describe(const CliResult& run) {
    return QStringLiteral("exit %1\n%2%3")
        .arg(run.exitCode)
        .arg(run.stdoutText.left(3000), run.stderrText);
}

}  // namespace

QString setParam(const QString& sys, const QString& name, const QString& value) {
    return QStringLiteral("update AccInformation set cValue='%1' where cSysID='%2' and cName='%3'")
        .arg(QString(value).replace(QLatin1Char('\''), QLatin1String("''")), sys, name);
}

QString setParamNull(const QString& sys, const QString& name) {
    return QStringLiteral("update AccInformation set cValue=NULL where cSysID='%1' and cName='%2'")
        .arg(sys, name);
}

QString closeMonths(const QString& flag, int from, int to) {
    return QStringLiteral("update GL_mend set %1=1 where iperiod between %2 and %3")
        .arg(flag)
        .arg(from)
        .arg(to);
}

void runScenario(const Scenario& sc) {
    if (TestAccount::onServer() && !sc.notOnServer.isEmpty())
        QSKIP(qPrintable(sc.notOnServer));
    TestAccount account(sc.year, QStringLiteral("001"), sc.fileName);
    for (const QString& sql : sc.setup)
        account.exec(sql);
    const QString before = account.dump();

    const CliResult run =
        runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", sc.sys}, sc.script);
    QVERIFY2(run.exitCode == sc.exit, qPrintable(describe(run)));
    QCOMPARE(run.messages(), sc.messages);
    if (!sc.titles.isEmpty()) {
        QStringList titles;
        for (const QJsonObject& m : run.eventsOf(QStringLiteral("message")))
            titles << m.value(QStringLiteral("title")).toString();
        QCOMPARE(titles, sc.titles);
    }
    if (sc.unchanged)
        QCOMPARE(account.dump(), before);
    if (!sc.errorContains.isEmpty())
        QVERIFY2(run.stderrText.contains(sc.errorContains), qPrintable(run.stderrText));
    for (const ParamCheck& p : sc.params) {
        const QVariant actual = account.param(p.sys, p.name);
        QVERIFY2(actual.isValid() == p.value.isValid() && actual.toString() == p.value.toString(),
                 qPrintable(QStringLiteral("%1 %2 is \"%3\", expected \"%4\"")
                                .arg(p.sys, p.name, actual.isValid() ? actual.toString() : "NULL",
                                     p.value.isValid() ? p.value.toString() : "NULL")));
    }
    for (const SqlCheck& c : sc.sql) {
        const QVariant actual = account.value(c.sql);
        QVERIFY2(actual.isValid() == c.value.isValid() && actual.toString() == c.value.toString(),
                 qPrintable(QStringLiteral("%1 gave \"%2\"").arg(c.sql, actual.toString())));
    }
    if (!sc.controls.isEmpty()) {
        const QJsonObject controls = run.lastState().value(QStringLiteral("controls")).toObject();
        QVERIFY2(!controls.isEmpty(), "the script made no dump");
        for (const ControlCheck& c : sc.controls) {
            const QJsonValue actual = controls.value(c.control).toObject().value(c.property);
            QVERIFY2(actual == c.value,
                     qPrintable(QStringLiteral("%1.%2 is %3")
                                    .arg(c.control, c.property, actual.toVariant().toString())));
        }
    }
    // Every message box of the window is critical; the year's is information.
    for (const QJsonObject& m : run.eventsOf(QStringLiteral("message"))) {
        const bool year =
            m.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("打开的数据库"));
        QCOMPARE(m.value(QStringLiteral("flags")).toInt(), year ? 64 : 16);
    }
}
