// The window on a real X server (run under Xvfb, at 1x and at 2x): every
// caption fits, nothing that should stand apart overlaps, the pages sit
// where they belong, the keyboard moves as documented. A PNG of each page
// is kept in the build tree for people to look at.

#include "RecordingHost.h"
#include "window/HelpTexts.h"
#include "window/Main.h"
#include "wizard/WizardApi.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QStyleOptionButton>
#include <QTest>

using namespace zx::ui;

namespace {

// Where a control puts ink: the text it draws, its box or picture.
QRect inkRect(const QWidget* w) {
    const auto kind = kindOf(w);
    if (!kind)
        return {};
    switch (*kind) {
        case Kind::TextBox:
        case Kind::CommandButton:
            return w->geometry();
        case Kind::Image:
            return QRect(w->pos(),
                         static_cast<const QLabel*>(w)->pixmap().size().boundedTo(w->size()));
        case Kind::Label:
        case Kind::CheckBox:
        case Kind::OptionButton: {
            const CaptionLayout layout = captionLayout(w);
            QRect ink = QFontMetrics(layout.font)
                            .boundingRect(layout.rect, layout.flags,
                                          qobject_cast<const QAbstractButton*>(w)
                                              ? static_cast<const QAbstractButton*>(w)->text()
                                              : static_cast<const QLabel*>(w)->text());
            if (qobject_cast<const QAbstractButton*>(w)) {
                QStyleOptionButton option;
                option.initFrom(w);
                ink |= w->style()->subElementRect(qobject_cast<const QCheckBox*>(w)
                                                      ? QStyle::SE_CheckBoxIndicator
                                                      : QStyle::SE_RadioButtonIndicator,
                                                  &option, w);
            }
            return ink.translated(w->pos()) & w->geometry();
        }
        default:
            return {};
    }
}

QString captionOf(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(w))
        return frame->title();
    return {};
}

void checkLayout(Main& form, const QString& shot) {
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
    const QImage image = form.grab().toImage();
    const QString dir = qEnvironmentVariable("ZX_SCREENSHOT_DIR", QDir::tempPath());
    QDir().mkpath(dir);
    const QString suffix = QStringLiteral("-%1x.png").arg(form.devicePixelRatioF());
    QVERIFY(image.save(dir + QLatin1Char('/') + shot + suffix));

    const qreal scale = image.width() / qreal(form.width());
    QList<QWidget*> shown;
    for (QWidget* w : form.findChildren<QWidget*>())
        if (kindOf(w) && w->isVisible())
            shown << w;
    for (QWidget* w : shown) {
        // Every caption fits its place, in a font that has its characters.
        const QString caption = captionOf(w);
        if (!caption.isEmpty() && !qobject_cast<QGroupBox*>(w) && !qobject_cast<QPushButton*>(w)) {
            const CaptionLayout layout = captionLayout(w);
            QVERIFY2(layout.fits, qPrintable(w->objectName() + QLatin1Char(' ') + caption));
        }
        const QFontMetrics metrics(w->font());
        for (const QChar c : caption)
            QVERIFY2(c.isSpace() || metrics.inFont(c),
                     qPrintable(w->objectName() + QStringLiteral(": ") + c));
        // Ink of siblings stands apart (a pixel of rounding aside).
        for (QWidget* other : shown) {
            if (other <= w || other->parentWidget() != w->parentWidget())
                continue;
            const QRect overlap = inkRect(w) & inkRect(other);
            QVERIFY2(
                overlap.width() <= 1 || overlap.height() <= 1,
                qPrintable(w->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
    // The help panel is light yellow where the page ends.
    const QRect help = form.findChild<QWidget*>(QStringLiteral("LaT"))->geometry();
    const QColor corner = image.pixelColor(QPoint(help.right() - 2, help.bottom() - 2) * scale);
    QCOMPARE(corner, QColor(0xFF, 0xFF, 0xC0));
}

void press(QWidget* w, Qt::Key key) {
    QTest::keyClick(w, key);
}

QStringList focusWalk(Main& form, QWidget* first, int steps) {
    first->setFocus(Qt::TabFocusReason);
    QStringList names{form.focusWidget()->objectName()};
    for (int i = 0; i < steps; ++i) {
        press(form.focusWidget(), Qt::Key_Tab);
        names << form.focusWidget()->objectName();
    }
    return names;
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private Q_SLOTS:

    void pages_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("page");
        QTest::newRow("ST") << "ST"
                            << "PicS2";
        QTest::newRow("PU") << "PU"
                            << "PicS3";
        QTest::newRow("SA") << "SA"
                            << "PicS4";
        QTest::newRow("IA") << "IA"
                            << "PicS5";
    }
    void pages() {
        QFETCH(QString, sys);
        QFETCH(QString, page);
        Main form;
        form.SysCode = sys;
        MainControls& c = form.ui();
        c.Ch14->setEnabled(true);
        c.Ch14->setValue(1);
        c.Te11->setText(QStringLiteral("07"));
        form.show();
        checkLayout(form, QStringLiteral("step1-") + sys);
        QCOMPARE(c.PicS1->geometry().topLeft(), QPoint(2400 / 15, 195 / 15));

        c.ComN->click();
        QWidget* shown = form.findChild<QWidget*>(page);
        QVERIFY(shown->isVisible() && !c.PicS1->isVisible());
        if (sys != QLatin1String("ST"))
            QCOMPARE(shown->geometry().topLeft(), QPoint(2460 / 15, 195 / 15));
        // The longest help text of the page must wrap inside the panel.
        c.LaT->setText(QStringLiteral("    ") + helpTextFor(sys == QLatin1String("SA")
                                                                ? QStringLiteral("Ch410")
                                                                : QStringLiteral("La26")));
        for (QCheckBox* box : {c.Ch49, c.Ch410})
            box->setChecked(true);
        checkLayout(form, QStringLiteral("step2-") + sys);
        form.hide();
    }

    void tabFollowsTheFocusOrder() {
        Main form;
        form.SysCode = QStringLiteral("SA");
        MainControls& c = form.ui();
        c.Ch14->setEnabled(true);
        c.Ch14->setValue(1);
        c.Te11->setText(QStringLiteral("07"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(focusWalk(form, c.Te11, 8), QStringList({"Te11", "Ch14", "Ch13", "Ch12", "Ch11",
                                                          "Ch15", "Ch16", "Ch17", "Ch18"}));
        c.ComN->click();
        c.Ch49->setValue(1);
        c.Ch410->setValue(1);
        QCOMPARE(focusWalk(form, c.Ch41, 11),
                 QStringList({"Ch41", "Ch42", "Te43", "Ch44", "Ch43", "Ch46", "Ch48", "Ch47",
                              "Ch49", "Ch410", "Te41", "Te42"}));
        form.hide();
    }

    void tabOnTheOtherPages_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("ST") << "ST"
                            << QStringList{"Ch21", "Ch22", "Ch24", "Ch23", "Ch25", "Te26", "Ch27"};
        QTest::newRow("PU") << "PU" << QStringList{"Te33", "Ch32", "Ch31"};
        QTest::newRow("IA") << "IA"
                            << QStringList{"Op51",  "Op52",  "Op56",  "Op57",  "Op58",  "Op59",
                                           "Op510", "Op53",  "Op54",  "Op55",  "Op511", "Op512",
                                           "Op513", "Op514", "Op515", "Op516", "Te55"};
    }
    void tabOnTheOtherPages() {
        QFETCH(QString, sys);
        QFETCH(QStringList, order);
        Main form;
        form.SysCode = sys;
        MainControls& c = form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        c.ComN->click();
        QCOMPARE(focusWalk(form, form.findChild<QWidget*>(order.first()), int(order.size()) - 1),
                 order);
        form.hide();
    }

    void enterGoesOnAndEscapeCancels() {
        Main form;
        RecordingHost messages;  // recorded, not shown: nobody is there to press OK
        form.attach(QStringLiteral("PU"), messages, nullptr);
        MainControls& c = form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        c.Ch11->setFocus();
        press(c.Ch11, Qt::Key_Return);
        QCOMPARE(tag(c.ComN), QStringLiteral("2"));
        c.Ch31->setFocus();
        press(c.Ch31, Qt::Key_Return);  // Finish checks the empty month and stays
        QCOMPARE(messages.messages, QStringList{QStringLiteral("必须录入启用月份")});
        QVERIFY(form.isVisible());
        press(c.Ch31, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
