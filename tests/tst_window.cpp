// Form Main on its own: the buttons driven by real clicks, and the rules
// that need no database.

#include "window/Main.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QTest>

using namespace zx::ui;

namespace {

// A click where a user would put it: on the box of a check box.
void clickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect hit = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, hit.center());
}

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void navigationKeepsValues_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("page");  // shown on step 2
        for (const char* row : {"ST PicS2", "PU PicS3", "SA PicS4", "IA PicS5", "st "})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << QString(row).section(' ', 1);
    }
    void navigationKeepsValues() {
        QFETCH(QString, sys);
        QFETCH(QString, page);
        Main form;
        form.SysCode = sys;
        MainControls& c = form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clickBox(c.Ch11);
        auto shown = [&] {
            QStringList names;
            for (QWidget* w :
                 {(QWidget*)c.ComN, (QWidget*)c.ComE, (QWidget*)c.ComC, (QWidget*)c.ComC1,
                  (QWidget*)c.Ima1, (QWidget*)c.PicS1, (QWidget*)c.PicS2, (QWidget*)c.PicS3,
                  (QWidget*)c.PicS4, (QWidget*)c.PicS5})
                if (w->isVisible())
                    names << w->objectName();
            if (c.ComP->isEnabled())
                names << "ComP";
            for (QWidget* w : {(QWidget*)c.La1, (QWidget*)c.La2})
                if (isBold(w))
                    names << w->objectName();
            return names.join(' ');
        };
        for (int round = 0; round < 2; ++round) {
            c.LaT->setText(QStringLiteral("    help"));
            QTest::mouseClick(c.ComN, Qt::LeftButton);
            QCOMPARE(tag(c.ComN), QStringLiteral("2"));
            QCOMPARE(shown(), ("ComE ComC1 Ima1 " + page).simplified() + " ComP La2");
            QVERIFY(c.LaT->text().isEmpty());
            c.LaT->setText(QStringLiteral("    help"));
            QTest::mouseClick(c.ComP, Qt::LeftButton);
            QCOMPARE(tag(c.ComN), QStringLiteral("1"));
            QCOMPARE(shown(), QStringLiteral("ComN ComC PicS1 La1"));
            QVERIFY(c.LaT->text().isEmpty());
            QCOMPARE(c.Ch11->value(), 1);
        }
        form.hide();
    }

    void checkBoxClicks() {
        Main form;
        MainControls& c = form.ui();
        c.Ch12->setValue(2);  // greyed: a click ticks it
        c.Ch12->click();
        QCOMPARE(c.Ch12->value(), 1);
        c.Ch12->click();
        QCOMPARE(c.Ch12->value(), 0);
    }

    void remoteKeyFilter_data() {
        QTest::addColumn<QString>("typed");  // \b: Backspace
        QTest::addColumn<QString>("kept");
        const char* const rows[][2] = {{"a-7", "7"},  {"5 ", "5 "}, {"12\b3", "13"},
                                       {"123", "12"}, {"中1", "1"}, {"가1", "가1"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
    }
    void remoteKeyFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Main form;
        MainControls& c = form.ui();
        c.Te11->setEnabled(true);
        for (const QChar ch : typed) {
            if (ch == QLatin1Char('\b'))
                QTest::keyClick(c.Te11, Qt::Key_Backspace);
            else
                QTest::sendKeyEvent(QTest::Click, c.Te11, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        }
        QCOMPARE(c.Te11->text(), kept);
    }

    void enablingRules() {
        Main form;
        MainControls& c = form.ui();
        c.Ch49->setValue(1);
        QVERIFY(ownEnabled(c.La45) && ownEnabled(c.Te41));
        c.Te41->setText(QStringLiteral("pw"));
        c.Ch49->setValue(0);
        QVERIFY(!ownEnabled(c.La45) && !ownEnabled(c.Te41));
        QVERIFY(c.Te41->text().isEmpty());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
