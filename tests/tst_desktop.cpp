// The window on a real X server (Xvfb, at several scales), driven through
// the server's own input: keys and clicks reach it as a keyboard and a mouse
// send them. What the window looks like is measured on its rendered pixels.
// A PNG of each page is kept in the build tree for people to look at.

#include "RecordingHost.h"
#include "window/HelpTexts.h"
#include "window/Main.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <map>
#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// Xlib's macros would shadow Qt's names.
#undef KeyPress
#undef KeyRelease
#undef None
#undef Bool
#undef Status

using namespace zx::ui;

namespace {

// Input through the X server's test extension, the way a person's keyboard
// and mouse produce it.
class XInput {
public:
    XInput() : m_display(XOpenDisplay(nullptr)) {}
    ~XInput() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool isOpen() const { return m_display != nullptr; }

    // A chord such as "Return", "ctrl+v" or "shift+Tab" (X key names).
    void key(const QString& chord) {
        QList<unsigned> codes;
        for (const QString& name : chord.split(QLatin1Char('+'))) {
            const QString x = name == QLatin1String("ctrl")    ? QStringLiteral("Control_L")
                              : name == QLatin1String("shift") ? QStringLiteral("Shift_L")
                                                               : name;
            codes << XKeysymToKeycode(m_display, XStringToKeysym(x.toLatin1().constData()));
        }
        for (unsigned code : codes)
            XTestFakeKeyEvent(m_display, code, 1, 0);
        for (qsizetype i = codes.size() - 1; i >= 0; --i)
            XTestFakeKeyEvent(m_display, codes[i], 0, 0);
        XFlush(m_display);
    }
    void moveTo(const QWidget* w, QPoint at) {
        const QPoint native = w->mapToGlobal(at) * w->devicePixelRatioF();
        XTestFakeMotionEvent(m_display, -1, native.x(), native.y(), 0);
        XFlush(m_display);
    }
    void click(const QWidget* w, QPoint at) {
        moveTo(w, at);
        XTestFakeButtonEvent(m_display, 1, 1, 0);
        XTestFakeButtonEvent(m_display, 1, 0, 0);
        XFlush(m_display);
    }

private:
    Display* m_display;
};

// Counts the input events Qt has taken from the server, to wait for those
// just sent.
class Delivered : public QObject {
public:
    int releases = 0, moves = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (qobject_cast<QWindow*>(watched)) {
            releases +=
                event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease;
            moves += event->type() == QEvent::MouseMove;
        }
        return false;
    }
};

// Where a key or a click leaves the form: on a step, finished or cancelled.
QString outcome(Main& form) {
    const MainControls& c = form.ui();
    if (form.isVisible())
        return QStringLiteral("step ") + tag(c.ComN);
    return ownVisible(c.Ima4) ? QStringLiteral("finished") : QStringLiteral("cancelled");
}

// Where a control draws its text, in logical pixels.
QRect inner(const QWidget* w) {
    QStyleOptionButton option;
    option.initFrom(w);
    if (qobject_cast<const QCheckBox*>(w))
        return w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
    if (qobject_cast<const QLineEdit*>(w))
        return w->rect().adjusted(3, 3, -3, -3);  // inside the frame
    return w->rect();
}

double luminance(QRgb c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}

// The contrast between the commonest colour of the area and its darkest.
double inkContrast(const QImage& image, QRect area) {
    std::map<QRgb, int> count;
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y) | 0xFF000000;
            ++count[c];
            if (luminance(c) < luminance(darkest))
                darkest = c;
        }
    }
    const QRgb back = std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                      })->first;
    return (luminance(back) + 0.05) / (luminance(darkest) + 0.05);
}

QImage shot(QWidget* w) {
    QApplication::processEvents();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Device pixels that differ between two pictures of the same size.
QRegion difference(const QImage& a, const QImage& b) {
    QRegion region;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                region += QRect(x, y, 1, 1);
    return region;
}

// The pixels a caption puts on its control, in device pixels of the control.
QRegion captionInk(QWidget* w) {
    auto* button = qobject_cast<QAbstractButton*>(w);
    auto* label = qobject_cast<QLabel*>(w);
    const QString caption = button ? button->text() : label->text();
    const QImage with = shot(w);
    button ? button->setText(QString()) : label->setText(QString());
    const QImage without = shot(w);
    button ? button->setText(caption) : label->setText(caption);
    return difference(with, without);
}

// A caption is whole when giving its control more room above and below
// (keeping its lines where they are) shows no more of it.
void checkCaptionIsWhole(QWidget* w) {
    const QString name = w->objectName();
    const qreal dpr = w->devicePixelRatioF();
    const QRegion ink = captionInk(w);
    QVERIFY2(!ink.isEmpty(), qPrintable(name));
    // Drawn at the nominal size: a CJK line stands most of an em tall.
    QVERIFY2(ink.boundingRect().height() >= 0.75 * 12 * dpr, qPrintable(name));
    const QRect place = w->geometry();
    const bool label = qobject_cast<QLabel*>(w);
    const int grow = 2;  // logical pixels: whole device pixels at 1.5x too
    w->setGeometry(place.adjusted(0, label ? 0 : -grow, 0, grow));
    QRegion roomier = captionInk(w);
    w->setGeometry(place);
    if (!label)
        roomier.translate(0, -qRound(grow * dpr));
    QVERIFY2(roomier.boundingRect() == ink.boundingRect(),
             qPrintable(name + QLatin1String(" is cut")));
}

void everyPage() {
    QTest::addColumn<QString>("sys");
    QTest::addColumn<int>("step");
    QTest::newRow("common") << "ST" << 1;
    for (const char* sys : {"ST", "PU", "SA", "IA"})
        QTest::newRow(sys) << sys << 2;
}

std::unique_ptr<Main> openForm(const QString& sys, int step) {
    auto form = std::make_unique<Main>();
    form->SysCode = sys;
    MainControls& c = form->ui();
    c.Te26->setText(QStringLiteral("3"));  // so that Finish passes for ST
    form->show();
    form->activateWindow();  // without a window manager, X focus is set directly
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the window did not become active");
    if (step == 2)
        c.ComN->click();
    return form;
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(m_input.isOpen(), "no X display");
        qApp->installEventFilter(&m_delivered);
    }
    void cleanup() {
        QApplication::processEvents();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void keysAndClicksOnTheButtons_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        const struct {
            int step;
            const char *focus, *input, *expected;
        } rows[] = {
            {1, "ComN", "Return", "step 2"},       {1, "ComN", "space", "step 2"},
            {1, "ComN", "click", "step 2"},        {1, "ComC", "Return", "cancelled"},
            {1, "ComC", "space", "cancelled"},     {1, "ComC", "click", "cancelled"},
            {1, "Ch11", "Return", "step 2"},       {1, "Ch11", "Escape", "cancelled"},
            {2, "ComP", "Return", "step 1"},       {2, "ComP", "space", "step 1"},
            {2, "ComP", "click", "step 1"},        {2, "ComC1", "Return", "cancelled"},
            {2, "ComC1", "KP_Enter", "cancelled"}, {2, "ComC1", "space", "cancelled"},
            {2, "ComC1", "click", "cancelled"},    {2, "ComE", "Return", "finished"},
            {2, "ComE", "space", "finished"},      {2, "ComE", "click", "finished"},
            {2, "Ch21", "Return", "step 2"},       {2, "Te26", "Return", "step 2"},
            {2, "Ch21", "Escape", "cancelled"},    {1, "ComN", "Return Return", "step 2"},
            {1, "ComN", "click Return", "step 2"}, {2, "ComP", "Return Return", "step 2"},
        };
        for (const auto& row : rows)
            QTest::addRow("%d %s %s", row.step, row.focus, row.input)
                << row.step << row.focus << row.input << row.expected;
    }
    void keysAndClicksOnTheButtons() {
        QFETCH(int, step);
        QFETCH(QString, focus);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const auto form = openForm(QStringLiteral("ST"), step);
        QWidget* target = form->findChild<QWidget*>(focus);
        target->setFocus(Qt::TabFocusReason);
        for (const QString& key : input.split(QLatin1Char(' '))) {
            const QString before = outcome(*form);
            if (key == QLatin1String("click"))
                m_input.click(target, target->rect().center());
            else
                m_input.key(key);
            // Enter and Escape act on the press, Space and the mouse on the
            // release; Enter meant for no button changes nothing.
            if (!QTest::qWaitFor([&] { return outcome(*form) != before; }, 1000))
                QCOMPARE(outcome(*form), expected);
        }
        QCOMPARE(outcome(*form), expected);
    }

    // A step change puts the focus on the new page's first control in its
    // focus order and names the step in the window's description.
    void stepChangeMovesFocusAndSaysTheStep_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("first");
        QTest::newRow("ST") << "ST"
                            << "Ch21";
        QTest::newRow("PU") << "PU"
                            << "Te33";
        QTest::newRow("SA") << "SA"
                            << "Ch41";
        QTest::newRow("IA") << "IA"
                            << "Op51";
        QTest::newRow("no page") << "AA"
                                 << "ComE";
    }
    void stepChangeMovesFocusAndSaysTheStep() {
        QFETCH(QString, sys);
        QFETCH(QString, first);
        const auto form = openForm(sys, 1);
        MainControls& c = form->ui();
        QCOMPARE(form->accessibleDescription(), c.La1->text());
        c.ComN->setFocus(Qt::TabFocusReason);
        m_input.key(QStringLiteral("Return"));
        QVERIFY(QTest::qWaitFor([&] { return outcome(*form) == QLatin1String("step 2"); }));
        QCOMPARE(QApplication::focusWidget()->objectName(), first);
        QCOMPARE(form->accessibleDescription(), c.La2->text());
        QCOMPARE(c.LaT->text(), QString());  // a step change clears the help
        c.ComP->setFocus(Qt::TabFocusReason);
        m_input.key(QStringLiteral("Return"));
        QVERIFY(QTest::qWaitFor([&] { return outcome(*form) == QLatin1String("step 1"); }));
        // Te11 and Ch14, first in the order, start disabled.
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Ch13"));
        QCOMPARE(form->accessibleDescription(), c.La1->text());
    }

    // Tab, a real key, carries the help panel along with the focus.
    void tabShowsTheHelp() {
        const auto form = openForm(QStringLiteral("ST"), 1);
        MainControls& c = form->ui();
        c.Ch11->setFocus(Qt::OtherFocusReason);
        QCOMPARE(c.LaT->text(), QString());
        m_input.key(QStringLiteral("Tab"));
        QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() != c.Ch11; }));
        const QString help = helpTextFor(QApplication::focusWidget()->objectName());
        QVERIFY(!help.isEmpty());
        QCOMPARE(c.LaT->text(), QStringLiteral("    ") + help);
        const QString dir = qEnvironmentVariable("ZX_SCREENSHOT_DIR", QDir::tempPath());
        QDir().mkpath(dir);
        QVERIFY(
            shot(form.get())
                .save(
                    QStringLiteral("%1/tab-help-%2x.png").arg(dir).arg(form->devicePixelRatioF())));
    }

    // A message box reads "确定" and closes on the keys an OK button takes.
    void messageBoxKeys_data() {
        QTest::addColumn<QString>("key");
        for (const char* key : {"Return", "space", "Escape"})
            QTest::newRow(key) << key;
    }
    void messageBoxKeys() {
        QFETCH(QString, key);
        const auto form = openForm(QStringLiteral("ST"), 1);
        MainControls& c = form->ui();
        c.Ch14->setEnabled(true);
        c.Ch14->setValue(1);
        c.Te11->setText(QStringLiteral("9"));
        // The box runs its own event loop, so it is answered from inside it.
        QStringList buttons;
        int ticks = 0;
        QTimer poll;
        poll.callOnTimeout([&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && ++ticks > 300)
                return box->done(0);  // the key left it open
            if (!box || !buttons.isEmpty())
                return;
            box->activateWindow();  // no window manager does it
            if (box->isActiveWindow()) {
                for (const QAbstractButton* button : box->buttons())
                    buttons << button->text();
                m_input.key(key);
            }
        });
        poll.start(10);
        c.ComN->click();
        QVERIFY(ticks <= 300);
        QCOMPARE(buttons, QStringList(QStringLiteral("确定")));
        QCOMPARE(outcome(*form), QStringLiteral("step 1"));
    }

    void editingKeysInTheRemoteNumber_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        const char* const rows[][2] = {{"1 a minus space", "1 "},
                                       {"1 2 Home Delete", "2"},
                                       {"1 2 Left Delete Home Right 3", "13"},
                                       {"1 2 Home BackSpace End BackSpace", "1"},
                                       {"1 2 shift+Home ctrl+x", ""},
                                       {"1 2 ctrl+a ctrl+c Delete ctrl+v", "12"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[0] << row[1];
    }
    void editingKeysInTheRemoteNumber() {
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        const auto form = openForm(QStringLiteral("ST"), 1);
        MainControls& c = form->ui();
        c.Ch14->setEnabled(true);
        c.Ch14->setValue(1);
        c.Te11->setFocus(Qt::TabFocusReason);
        for (const QString& chord : keys.split(QLatin1Char(' '))) {
            const int before = m_delivered.releases;
            m_input.key(chord);
            QVERIFY(QTest::qWaitFor([&] {
                return m_delivered.releases >= before + chord.count(QLatin1Char('+')) + 1;
            }));
        }
        QCOMPARE(c.Te11->text(), expected);
    }

    // Tab visits every control the page shows once (of an option group, the
    // selected option), Backtab the same ring backwards; which order is the
    // page's own business.
    void tabVisitsEveryControlOnce_data() { everyPage(); }
    void tabVisitsEveryControlOnce() {
        QFETCH(QString, sys);
        QFETCH(int, step);
        const auto form = openForm(sys, step);
        MainControls& c = form->ui();
        for (CheckBox* box : {c.Ch11, c.Ch14, c.Ch49, c.Ch410}) {
            box->setEnabled(true);
            box->setValue(1);  // their inputs take part too
        }
        QList<QWidget*> reachable;
        for (QWidget* w : form->findChildren<QWidget*>())
            if (kindOf(w) && w->isVisible() && w->isEnabled() &&
                (w->focusPolicy() & Qt::TabFocus) &&
                (kindOf(w) != Kind::OptionButton || static_cast<OptionButton*>(w)->value()))
                reachable << w;
        const auto walk = [&](const QString& key) {
            QList<QWidget*> seen{QApplication::focusWidget()};
            for (qsizetype i = 0; i < reachable.size(); ++i) {
                QWidget* from = QApplication::focusWidget();
                m_input.key(key);
                if (!QTest::qWaitFor([&] { return QApplication::focusWidget() != from; }))
                    break;
                seen << QApplication::focusWidget();
            }
            return seen;
        };
        reachable.first()->setFocus(Qt::TabFocusReason);
        const QList<QWidget*> forth = walk(QStringLiteral("Tab"));
        QCOMPARE(forth.size(), reachable.size() + 1);
        QCOMPARE(forth.last(), forth.first());
        QCOMPARE(QSet<QWidget*>(forth.begin(), forth.end()),
                 QSet<QWidget*>(reachable.begin(), reachable.end()));
        QList<QWidget*> back = walk(QStringLiteral("shift+Tab"));
        std::reverse(back.begin(), back.end());
        QCOMPARE(back, forth);
    }

    void helpFollowsThePointer() {
        const auto form = openForm(QStringLiteral("SA"), 1);
        MainControls& c = form->ui();
        const auto hover = [&](QWidget* w, QPoint at = {4, 4}) {
            const int before = m_delivered.moves;
            m_input.moveTo(w, at);
            QVERIFY(QTest::qWaitFor([&] { return m_delivered.moves > before; }));
        };
        hover(c.Ch12);
        const QString zeroIssue = c.LaT->text();
        QVERIFY(zeroIssue.startsWith(QStringLiteral("    ")) && zeroIssue.size() > 4);
        hover(c.Fra1, {2, c.Fra1->height() - 3});  // the page's background keeps it
        QCOMPARE(c.LaT->text(), zeroIssue);
        m_input.click(c.ComN, c.ComN->rect().center());
        QVERIFY(QTest::qWaitFor([&] { return tag(c.ComN) == QLatin1String("2"); }));
        QVERIFY(c.LaT->text().isEmpty());
        c.Ch49->setValue(1);
        hover(c.Ch49);
        const QString credit = c.LaT->text();
        QVERIFY(!credit.isEmpty());
        hover(c.Te41);
        QCOMPARE(c.LaT->text(), credit);
        hover(c.Ch47);
        QVERIFY(c.LaT->text() != credit && !c.LaT->text().isEmpty());
        m_input.click(c.ComP, c.ComP->rect().center());  // a step's help goes with it
        QVERIFY(QTest::qWaitFor([&] { return tag(c.ComN) == QLatin1String("1"); }));
        QVERIFY(c.LaT->text().isEmpty());
    }

    // Disabled text reads at 4.5:1 or better and still looks fainter than
    // the same control enabled.
    void disabledTextStaysReadable_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("greyed");  // as the load leaves a derived month
        const struct {
            const char *sys, *name, *text;
            int step;
            bool greyed;
        } rows[] = {
            {"ST", "Te26", "3", 2, true},  {"SA", "Te43", "12", 2, true},
            {"IA", "Te55", "8", 2, false}, {"ST", "Te11", "07", 1, false},
            {"ST", "La15", "", 1, false},  {"SA", "La45", "", 2, false},
            {"SA", "La46", "", 2, false},  {"ST", "Ch14", "", 1, false},
        };
        for (const auto& row : rows)
            QTest::addRow("%s %s", row.name, row.text)
                << row.sys << row.step << row.name << row.text << row.greyed;
    }
    void disabledTextStaysReadable() {
        QFETCH(QString, sys);
        QFETCH(int, step);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, greyed);
        const auto form = openForm(sys, step);
        auto* w = form->findChild<QWidget*>(name);
        if (auto* box = qobject_cast<TextBox*>(w))
            box->setText(text);
        if (greyed)
            setBackColor(w, 0x00C0C0C0);
        const QRect area = QRect(inner(w).topLeft() * w->devicePixelRatioF(),
                                 inner(w).size() * w->devicePixelRatioF());
        w->setEnabled(true);
        const double enabled = inkContrast(shot(w), area);
        w->setEnabled(false);
        const QImage image = shot(w);
        const double disabled = inkContrast(image, area);
        QVERIFY2(disabled >= 4.5, qPrintable(QString::number(disabled)));
        QVERIFY2(disabled <= 0.75 * enabled,
                 qPrintable(QStringLiteral("%1 vs %2").arg(disabled).arg(enabled)));
    }

    // Every caption of every page at its nominal size, nothing cut, and the
    // longest help texts whole in the panel.
    void captionsAreWhole_data() { everyPage(); }
    void captionsAreWhole() {
        QFETCH(QString, sys);
        QFETCH(int, step);
        const auto form = openForm(sys, step);
        MainControls& c = form->ui();
        const QString dir = qEnvironmentVariable("ZX_SCREENSHOT_DIR", QDir::tempPath());
        QDir().mkpath(dir);
        const QString page = step == 1 ? QStringLiteral("common") : sys;
        QVERIFY(
            shot(form.get())
                .save(
                    QStringLiteral("%1/%2-%3x.png").arg(dir, page).arg(form->devicePixelRatioF())));
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const auto kind = kindOf(w);
            if (w->isVisible() && w != c.LaT &&
                (kind == Kind::CheckBox || kind == Kind::OptionButton || kind == Kind::Label))
                checkCaptionIsWhole(w);
        }
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const QString help = helpTextFor(w->objectName());
            if (w->isVisible() && !help.isNull()) {
                c.LaT->setText(QStringLiteral("    ") + help);
                checkCaptionIsWhole(c.LaT);
            }
        }
    }

    // On the inventory-accounting page each group's outline passes neither
    // through its heading nor through an option, and encloses every option.
    // Ink right beside the outline merges with it: a device pixel apart at least.
    void optionsStayInsideTheirGroups() {
        const auto form = openForm(QStringLiteral("IA"), 2);
        const MainControls& c = form->ui();
        const qreal dpr = form->devicePixelRatioF();
        for (PictureBox* group : {c.Pic51, c.Pic52, c.Pic53, c.Pic54}) {
            const QList<QWidget*> parts = group->findChildren<QWidget*>();
            for (QWidget* part : parts)
                part->hide();
            const QImage bare = shot(group);
            for (QWidget* part : parts)
                part->show();
            QImage empty(bare.size(), bare.format());
            empty.fill(bare.pixel(bare.width() / 2, bare.height() / 2));
            const QRegion outline = difference(bare, empty);
            QVERIFY(!outline.isEmpty());
            for (QWidget* part : parts) {
                // The part drawn alone, on its own background.
                QImage alone = shot(part);
                QImage plain(alone.size(), alone.format());
                plain.fill(alone.pixel(0, 0));
                const QRect ink =
                    difference(alone, plain).boundingRect().translated(part->pos() * dpr);
                const QString name = group->objectName() + QLatin1Char('/') + part->objectName();
                QVERIFY2(!outline.intersects(ink.adjusted(-1, -1, 1, 1)),
                         qPrintable(name + QLatin1String(" crossed")));
                if (kindOf(part) == Kind::OptionButton) {
                    const QRect frame = outline.boundingRect();
                    QVERIFY2(frame.adjusted(1, 1, -1, -1).contains(ink),
                             qPrintable(name + QLatin1String(" outside")));
                }
            }
        }
    }

private:
    XInput m_input;
    Delivered m_delivered;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
