// Form Main on its own: the stored design after Form_Load, the buttons
// driven by real clicks, and the rules that need no database.

#include "window/Main.h"
#include "wizard/WBAS.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QTest>

using namespace zx::ui;

namespace {

template <class T = QWidget>
T* control(Main& form, const char* name) {
    auto* w = form.findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

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
    void startState() {
        Main form;
        MainControls& c = form.ui();
        QCOMPARE(tag(c.ComN), QStringLiteral("1"));
        QCOMPARE(tag(c.ComP), QStringLiteral("1"));
        QVERIFY(ownVisible(c.ComP) && !ownEnabled(c.ComP));
        QVERIFY(ownVisible(c.ComN) && ownVisible(c.ComC));
        QVERIFY(!ownVisible(c.ComE) && !ownVisible(c.ComC1));
        QVERIFY(ownVisible(c.PicS1));
        for (QWidget* page : {c.PicS2, c.PicS3, c.PicS4, c.PicS5})
            QVERIFY(!ownVisible(page));
        QVERIFY(!ownVisible(c.Ima1) && !ownVisible(c.Ima4));
        QVERIFY(isBold(c.La1) && !isBold(c.La2));
        QVERIFY(!ownEnabled(c.Ch14));
        for (QWidget* dependent : {(QWidget*)c.La15, (QWidget*)c.Te11, (QWidget*)c.La45,
                                   (QWidget*)c.Te41, (QWidget*)c.La46, (QWidget*)c.Te42})
            QVERIFY(!ownEnabled(dependent));
        QVERIFY(c.Op51->value() && c.Op53->value() && c.Op56->value() && c.Op511->value());
        QVERIFY(!ownVisible(c.Ch45));
        QCOMPARE(colorText(backColor(c.LaT)), QStringLiteral("&H00C0FFFF"));
        QCOMPARE(colorText(foreColor(c.La1)), QStringLiteral("&H00404040"));
        QCOMPARE(twips(c.Te43), QRect(1200, 2430, 1275, 270));
        QCOMPARE(twips(c.ComE), QRect(585, 3930, 1290, 285));
        QCOMPARE(form.size(), QSize(8280 / 15, 4875 / 15));
        QCOMPARE(c.Te41->echoMode(), QLineEdit::Password);
        QCOMPARE(c.Te42->echoMode(), QLineEdit::Password);

        const std::pair<TextBox*, int> limits[] = {{c.Te11, 2}, {c.Te26, 2}, {c.Te55, 2},
                                                   {c.Te33, 0}, {c.Te43, 0}, {c.Te41, 20},
                                                   {c.Te42, 20}};
        for (const auto& [box, limit] : limits) {
            QCOMPARE(box->maxChars(), limit);
            box->setEnabled(true);
            box->selectAll();
            box->insert(QString(40, QLatin1Char('9')));  // as a paste
            QCOMPARE(int(box->text().size()), limit ? limit : 40);
            // A stored value set by code is kept whole; shortened by the user,
            // the limit holds again.
            box->setText(QString(45, QLatin1Char('8')));
            QCOMPARE(int(box->text().size()), 45);
            box->end(false);
            QTest::keyClick(box, Qt::Key_Backspace);
            box->insert(QStringLiteral("77"));
            QCOMPARE(int(box->text().size()), limit ? 44 : 46);
        }
    }

    void navigationKeepsValues_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("frame");
        QTest::newRow("ST") << "ST"
                            << "PicS2"
                            << "Fra2";
        QTest::newRow("PU") << "PU"
                            << "PicS3"
                            << "Fra3";
        QTest::newRow("SA") << "SA"
                            << "PicS4"
                            << "Fra4";
        QTest::newRow("IA") << "IA"
                            << "PicS5"
                            << "Fra5";
        QTest::newRow("other") << "st"
                               << ""
                               << "";
    }
    void navigationKeepsValues() {
        QFETCH(QString, sys);
        QFETCH(QString, page);
        QFETCH(QString, frame);
        Main form;
        form.SysCode = sys;
        MainControls& c = form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        clickBox(c.Ch11);
        QCOMPARE(c.Ch11->value(), 1);
        c.LaT->setText(QStringLiteral("    help"));

        for (int round = 0; round < 2; ++round) {
            QTest::mouseClick(c.ComN, Qt::LeftButton);
            QCOMPARE(tag(c.ComN), QStringLiteral("2"));
            QVERIFY(!c.ComN->isVisible() && !c.ComC->isVisible());
            QVERIFY(c.ComE->isVisible() && c.ComC1->isVisible() && c.ComP->isEnabled());
            QVERIFY(c.Ima1->isVisible() && !c.Ima4->isVisible());
            QVERIFY(isBold(c.La2) && !isBold(c.La1));
            QVERIFY(c.LaT->text().isEmpty());
            QVERIFY(!c.PicS1->isVisible());
            int shownPages = 0;
            for (QWidget* p : {c.PicS2, c.PicS3, c.PicS4, c.PicS5})
                shownPages += p->isVisible();
            QCOMPARE(shownPages, page.isEmpty() ? 0 : 1);
            if (!page.isEmpty()) {
                auto* pageBox = control(form, page.toLatin1().constData());
                QVERIFY(pageBox->isVisible());
                if (page != QLatin1String("PicS2")) {
                    auto* frameBox = control(form, frame.toLatin1().constData());
                    QCOMPARE(twips(frameBox).topLeft(), QPoint(0, 0));
                    QCOMPARE(twips(pageBox),
                             QRect(2460, 195, twips(frameBox).width(), twips(frameBox).height()));
                } else {
                    QCOMPARE(twips(pageBox), QRect(2400, 195, 5655, 3225));
                }
            }
            c.LaT->setText(QStringLiteral("    help"));
            QTest::mouseClick(c.ComP, Qt::LeftButton);
            QCOMPARE(tag(c.ComN), QStringLiteral("1"));
            QVERIFY(c.ComN->isVisible() && c.ComC->isVisible() && !c.ComE->isVisible() &&
                    !c.ComC1->isVisible());
            QVERIFY(!c.ComP->isEnabled() && !c.Ima1->isVisible() && c.PicS1->isVisible());
            QVERIFY(isBold(c.La1) && !isBold(c.La2));
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
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters and minus") << "a-7"
                                           << "7";
        QTest::newRow("space passes") << "5 "
                                      << "5 ";
        QTest::newRow("backspace") << "12\b3"
                                   << "13";
        QTest::newRow("length two") << "123"
                                    << "12";
        QTest::newRow("cjk discarded") << QString::fromUtf8("中1") << "1";
        QTest::newRow("negative code passes")
            << QString::fromUtf8("가1") << QString::fromUtf8("가1");
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

    void planCaptionsFollowTheBasis() {
        Main form;
        MainControls& c = form.ui();
        c.Op52->setValue(true);
        QCOMPARE(c.Op511->text(), QStringLiteral("按部门"));
        QCOMPARE(c.Op514->text(), QStringLiteral("按部门 + 存货分类"));
        QCOMPARE(c.Op515->text(), QStringLiteral("按部门 + 存货"));
        QVERIFY(c.Op511->value());  // the selection is kept
        c.Op51->setValue(true);
        QCOMPARE(c.Op511->text(), QStringLiteral("按仓库"));
        QCOMPARE(c.Op515->text(), QStringLiteral("按仓库 + 存货"));
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

    void closeBoxCancelsAndNothingLeaks() {
        zx::WBAS::CancelCode = 0;
        Main& form = zx::WBAS::MainForm();
        form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.close();
        QCOMPARE(zx::WBAS::CancelCode, 3);
        QVERIFY(!zx::WBAS::MainIfLoaded());
        zx::WBAS::ReapUnloaded();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
