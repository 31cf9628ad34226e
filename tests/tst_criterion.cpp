// FindFirst's criteria: what parses, and which rows they pick.

#include "dbkit/Criterion.h"

#include <QTest>

using zx::db::Criterion;
using zx::db::Value;

class TestCriterion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parsing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("parameter") << "cSysID='AA' and cName='bStrsAuxUnit'" << true;
        QTest::newRow("number") << "iperiod=1" << true;
        QTest::newRow("doubled quote") << "cValue='it''s'" << true;
        QTest::newRow("all operators") << "a<>1 or a<1 or a>1 or a<=1 or a>=1" << true;
        QTest::newRow("null tests") << "a is null and not (b is not null)" << true;
        QTest::newRow("bracketed name") << "[cName]='x'" << true;
        QTest::newRow("negative") << "a = -2.5" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("unterminated") << "a='x" << false;
        QTest::newRow("dangling and") << "a=1 and" << false;
        QTest::newRow("no operator") << "a 1" << false;
        QTest::newRow("unbalanced") << "(a=1" << false;
        QTest::newRow("stray text") << "a=1 b=2" << false;
        QTest::newRow("semicolon") << "a=1; drop table x" << false;
        QTest::newRow("is without null") << "a is 1" << false;
    }
    void parsing() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QString error;
        const auto criterion = Criterion::parse(text, &error);
        QCOMPARE(bool(criterion), ok);
        // Exactly one of the two: a criterion or an error naming it.
        QCOMPARE(error.isEmpty(), ok);
        if (!ok)
            QVERIFY(error.contains(text));
    }

    void matching_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<bool>>("expected");  // per row below
        // Rows: (cSysID, cName, cValue, iperiod)
        //   0: AA bRemote TRUE 1     1: aa BREMOTE NULL 2     2: ST bBatch it's 3
        QTest::newRow("case-insensitive")
            << "cSysID='AA' and cName='bRemote'" << QList<bool>{true, true, false};
        QTest::newRow("number") << "iperiod=2" << QList<bool>{false, true, false};
        QTest::newRow("number as text") << "iperiod='3'" << QList<bool>{false, false, true};
        QTest::newRow("quote") << "cValue='it''s'" << QList<bool>{false, false, true};
        QTest::newRow("null never equal") << "cValue<>'x'" << QList<bool>{true, false, true};
        QTest::newRow("is null") << "cValue is null" << QList<bool>{false, true, false};
        QTest::newRow("not of unknown") << "not (cValue='TRUE')" << QList<bool>{false, false, true};
        QTest::newRow("or over null")
            << "cValue='TRUE' or iperiod>=2" << QList<bool>{true, true, true};
        QTest::newRow("and binds tighter")
            << "iperiod=1 or iperiod=2 and cSysID='ST'" << QList<bool>{true, false, false};
        QTest::newRow("parentheses")
            << "(iperiod=1 or iperiod=2) and cSysID='aa'" << QList<bool>{true, true, false};
    }
    void matching() {
        QFETCH(QString, text);
        QFETCH(QList<bool>, expected);
        const QStringList columns{"cSysID", "cName", "cValue", "iPeriod"};
        const std::vector<std::vector<Value>> rows{
            {Value("AA"), Value("bRemote"), Value("TRUE"), Value(QVariant(1))},
            {Value("aa"), Value("BREMOTE"), Value(), Value(QVariant(2))},
            {Value("ST"), Value("bBatch"), Value("it's"), Value(QVariant(3))},
        };
        QString error;
        const auto criterion = Criterion::parse(text, &error);
        QVERIFY2(criterion, qPrintable(error));
        const auto bound = criterion->bind(columns, &error);
        QVERIFY2(bound, qPrintable(error));
        for (size_t i = 0; i < rows.size(); ++i)
            QCOMPARE(criterion->matches(rows[i], *bound), expected[int(i)]);
    }

    // A key looked up by its texts: every code point that folds onto an
    // ASCII letter must be among them, or a row the scan meets is missed.
    void equalTextsOfAsciiLetters() {
        for (char32_t c = 0x80; c < 0x110000; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded >= 0x80)
                continue;
            const auto texts = Criterion::equalTexts(QString(QChar(char16_t(folded))), 16);
            QVERIFY(texts && texts->contains(QString::fromUcs4(&c, 1)));
        }
    }

    void unknownField() {
        QString error;
        const auto criterion = Criterion::parse(QStringLiteral("nope=1"), &error);
        QVERIFY(criterion);
        QVERIFY(!criterion->bind({QStringLiteral("cName")}, &error));
        QVERIFY(error.contains(QStringLiteral("nope")));
    }
};

QTEST_APPLESS_MAIN(TestCriterion)
#include "tst_criterion.moc"
