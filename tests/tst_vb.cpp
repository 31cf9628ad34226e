// The runtime semantics that the window's checks and the date readers lean on.

#include "vb/Vb.h"

#include <QTest>

using namespace zx::vb;

class TestVb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numeric_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("digits") << "07" << true << 7.0;
        QTest::newRow("blank after") << "5 " << true << 5.0;
        QTest::newRow("blanks around") << "  12  " << true << 12.0;
        QTest::newRow("sign") << "-3" << true << -3.0;
        QTest::newRow("plus") << "+4" << true << 4.0;
        QTest::newRow("decimal") << "3.5" << true << 3.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1e2" << true << 100.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << " " << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("fullwidth digit") << QString::fromUtf8("７") << false << 0.0;
    }
    void numeric() {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto v = NumericValue(text);
        QCOMPARE(v.has_value(), numeric);
        if (numeric)
            QCOMPARE(*v, value);
    }

    void dates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("unpadded") << "2001-3-1" << QDate(2001, 3, 1);
        QTest::newRow("padded month") << "2001-03-1" << QDate(2001, 3, 1);
        QTest::newRow("with time") << "2001-03-01 00:00:00" << QDate(2001, 3, 1);
        QTest::newRow("iso time") << "2001-03-01T00:00:00.000" << QDate(2001, 3, 1);
        QTest::newRow("slashes") << "2001/3/1" << QDate(2001, 3, 1);
        QTest::newRow("blank after month") << "2001-3 -1" << QDate(2001, 3, 1);
        QTest::newRow("december") << "2050-12-1" << QDate(2050, 12, 1);
        QTest::newRow("fractional month") << "2001-3.5-1" << QDate();
        QTest::newRow("month 13") << "2001-13-1" << QDate();
        QTest::newRow("month 0") << "2001-0-1" << QDate();
        QTest::newRow("30 February") << "2001-2-30" << QDate();
        QTest::newRow("mixed separators") << "2001-3/1" << QDate();
        QTest::newRow("words") << "abc" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("bad hour") << "2001-3-1 25:00" << QDate();
    }
    void dates() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(IsDate(text), date.isValid());
        if (date.isValid()) {
            QCOMPARE(CDate(text, "test"), date);
        } else {
            QVERIFY_THROWS_EXCEPTION(std::exception, CDate(text, "test"));
        }
    }

    void textHelpers() {
        QCOMPARE(Len(QString::fromUtf8("口令𝄞")), 4);  // the clef takes two UTF-16 units
        QCOMPARE(UCase(QStringLiteral("true")), QStringLiteral("TRUE"));
        QVERIFY(CompareOrdinal(QStringLiteral("20"), QStringLiteral("1980")) > 0);
        QVERIFY(CompareOrdinal(QStringLiteral("20"), QStringLiteral("2050")) < 0);
        QVERIFY(CompareOrdinal(QStringLiteral("2051"), QStringLiteral("2050")) > 0);
        QCOMPARE(Mid(QStringLiteral("ZXDATA_001_2001"), 12, 4), QStringLiteral("2001"));
        QCOMPARE(Mid(QStringLiteral("abc"), 3, 4), QStringLiteral("c"));
        QCOMPARE(Mid(QStringLiteral("abc"), 4, 4), QString());
        QCOMPARE(InStr(QStringLiteral("xZXDATA_"), QStringLiteral("ZXDATA_")), 2);
        QCOMPARE(InStr(QStringLiteral("none"), QStringLiteral("ZXDATA_")), 0);
    }
};

QTEST_APPLESS_MAIN(TestVb)
#include "tst_vb.moc"
