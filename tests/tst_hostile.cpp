// Hostile text through the whole run, on every database: typed, pasted or
// loaded into the credit password and saved, it lands on its own row as the
// text box keeps it (or, loaded, exactly as stored), and no other row of
// any table changes.

#include "CliRun.h"
#include "TerminalText.h"
#include "TestAccount.h"

#include <QTest>

#include <stdexcept>

namespace {

const QString Marker = QStringLiteral("MARKER");

// The dump's rows, each under its table, in one order whatever a value is.
QStringList rowsOf(const QString& dump) {
    QStringList rows;
    QString table;
    for (const QString& line : dump.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("== ")))
            table = line;
        else
            rows << table + QLatin1Char('\t') + line;
    }
    rows.sort();
    return rows;
}

// The rows after an SA run that brings `text` into the credit password by
// `path` ("type", "paste", or "load": stored before the run, then saved).
QStringList runWith(const QString& path, const QString& text, QString* stored) {
    TestAccount account;
    account.setParam("SA", "bCredit", path == QLatin1String("load") ? "TRUE" : "FALSE");
    QString script = QStringLiteral("click ComN\n");
    if (path == QLatin1String("load")) {
        account.setParam("SA", "cCreditPwd", text);  // throws if the database cannot hold it
        *stored = account.param("SA", "cCreditPwd").toString();
    } else {
        script += QStringLiteral("click Ch49\n%1 Te41 %2\n").arg(path, zx::host::quotedScriptText(text));
    }
    const CliResult run =
        runCli(QStringList{"run"} + account.cliArgs() + QStringList{"--sys", "SA"},
               script + QStringLiteral("paste Te43 4\nclick ComE"));
    if (run.exitCode != 0)
        return {QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.stderrText)};
    return rowsOf(account.dump());
}

}  // namespace

class TestHostile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileTextStaysOnItsRow_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");  // by the 20-unit password box
        const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
        const struct {
            const char* name;
            QString text, kept;
        } corpus[] = {
            {"quotes", "it's \"a''b\"", "it's \"a''b\""},
            {"SQL punctuation", "\\';commit--/* */", "\\';commit--/* */"},
            {"NUL", QStringLiteral("a") + QChar(0) + "b", "ab"},
            {"lone high surrogate before a quote", QChar(0xD800) + QStringLiteral("'--"), "'--"},
            {"lone low surrogate", QChar(0xDC00) + QStringLiteral("x"), "x"},
            {"astral characters", QString::fromUtf8("口令𝄞") + grin,
             QString::fromUtf8("口令𝄞") + grin},
            {"pair split at the limit", QString(19, QLatin1Char('x')) + grin,
             QString(19, QLatin1Char('x'))},
            {"bidi controls", QString::fromUtf16(u"\u202Eabc\u2066d\u2069"),
             QString::fromUtf16(u"\u202Eabc\u2066d\u2069")},
            {"1 MB", QString::fromUtf8("口'").repeated(1 << 19),
             QString::fromUtf8("口'").repeated(10)},
        };
        for (const auto& c : corpus)
            for (const char* path : {"type", "paste", "load"})
                if (c.text.size() < 1000 || QByteArray(path) != "type")  // a million keys: no
                    QTest::addRow("%s %s", c.name, path) << path << c.text << c.kept;
    }
    void hostileTextStaysOnItsRow() {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        static QHash<QString, QStringList> references;
        if (!references.contains(path)) {
            QString stored;
            references.insert(path, runWith(path, Marker, &stored));
        }
        QStringList expected, actual;
        try {
            QString stored;
            actual = runWith(path, text, &stored);
            if (path == QLatin1String("load"))
                kept = stored;
        } catch (const std::runtime_error&) {
            QSKIP("the database cannot hold this text");
        }
        for (const QString& row : references.value(path))
            expected << QString(row).replace(QLatin1Char('\'') + Marker + QLatin1Char('\''),
                                             QLatin1Char('\'') + kept + QLatin1Char('\''));
        expected.sort();
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < actual.size(); ++i)
            QVERIFY2(actual[i] == expected[i],
                     qPrintable(actual[i].left(200) + QLatin1String("\n   expected ") +
                                expected[i].left(200)));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
