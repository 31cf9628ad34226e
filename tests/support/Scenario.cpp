#include "Scenario.h"

#include "CliRun.h"
#include "Story.h"
#include "TestAccount.h"

#include <QJsonObject>
#include <QTest>

namespace {

const QStringList Keywords{"on",        "year", "file",   "sql",    "given",  "with",
                           "do",        "exit", "says",   "titled", "writes", "shows",
                           "unchanged", "err",  "reason", "hides",  "sqlite"};

QString shown(const QVariant& v) {
    return v.isValid() ? v.toString() : QStringLiteral("NULL");
}

}  // namespace

void addScenarioRows(const QStringList& rows) {
    QTest::addColumn<QString>("row");
    for (const QString& row : rows)
        QTest::newRow(qPrintable(row.section(QStringLiteral(": "), 0, 0))) << row;
}

void runScenario(const QString& row) {
    const Story story(row.section(QStringLiteral(": "), 1), Keywords);
    QStringList script;
    for (QString word : story["do"])
        script << (word.contains(' ') ? '"' + word.replace('"', "\\\"") + '"' : word);
    if (TestAccount::onServer() && story.has("sqlite"))
        QSKIP(qPrintable(story.first("sqlite")));
    TestAccount account(story.first("year", "2001"), story.first("file"));
    for (const QString& sql : story["sql"])
        account.exec(sql);
    account.given(story["given"]);
    const QString before = account.dump();

    const CliResult run = runCli(QStringList{"run"} + story["with"] + account.cliArgs() +
                                     QStringList{"--sys", story.first("on", "SA")},
                                 script.join(' ').replace(" | ", "\n"));
    const QString all = run.stdoutText + run.stderrText;
    QVERIFY2(run.exitCode == story.first("exit", "0").toInt(),
             qPrintable(QStringLiteral("exit %1\n%2").arg(run.exitCode).arg(all.left(3000))));
    QCOMPARE(run.messages(), story["says"]);
    QStringList titles;
    for (const QJsonObject& m : run.eventsOf(QStringLiteral("message"))) {
        titles << m.value(QStringLiteral("title")).toString();
        // Every message box of the window is critical; the year's is information.
        const bool year = m.value("text").toString().startsWith(QStringLiteral("打开的数据库"));
        QCOMPARE(m.value(QStringLiteral("flags")).toInt(), year ? 64 : 16);
    }
    if (story.has("titled"))
        QCOMPARE(titles, story["titled"]);
    if (story.has("unchanged")) {
        QCOMPARE(account.dump(), before);
        QCOMPARE(run.eventsOf(QStringLiteral("changed")).size(), 0);
    }
    for (const QString& text : story["err"])
        QVERIFY2(run.stderrText.contains(text), qPrintable(run.stderrText));
    for (const QString& text : story["reason"])
        QVERIFY2(run.eventsOf("result").value(0).value("reason").toString().contains(text),
                 qPrintable(run.stdoutText));
    for (const QString& text : story["hides"])
        QVERIFY2(!all.contains(text), qPrintable(text));
    for (const QString& fact : story["writes"]) {
        const auto [key, expected] = keyAndValue(fact);
        const QString is = shown(account.param(key.section('.', 0, 0), key.section('.', 1)));
        QVERIFY2(is == expected, qPrintable(QStringLiteral("%1, but is %2").arg(fact, is)));
    }
    const QJsonObject controls = run.lastState().value(QStringLiteral("controls")).toObject();
    for (const QString& fact : story["shows"]) {
        const auto [key, expected] = keyAndValue(fact);
        const QString is = controls.value(key.section('.', 0, 0))
                               .toObject()
                               .value(key.section('.', 1))
                               .toVariant()
                               .toString();
        QVERIFY2(is == expected, qPrintable(QStringLiteral("%1, but is %2").arg(fact, is)));
    }
}
