// The window's controls on their own: what a text box lets in by each path
// a person has (the remote number: digits only), a greyed box's click, the
// texts and pictures the provider ships and how a texts file replaces the
// texts, and the names a screen reader finds.

#include "core/ChineseBitmapStrike.h"
#include "core/DesktopFont.h"
#include "resources/ResourceProvider.h"
#include "window/HelpTexts.h"
#include "window/Main.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTest>

#include <sys/stat.h>

using namespace zx;
using namespace zx::ui;

namespace {

// Brings `text` into the box at its end by one of the ways a person has.
void bringIn(TextBox& box, const QString& path, const QString& text) {
    box.setFocus();
    box.end(false);
    if (path == QLatin1String("type")) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype units =
                text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                    ? 2
                    : 1;
            QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, text.mid(i, units),
                                Qt::NoModifier);
            i += units - 1;
        }
    } else if (path == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(&box, QKeySequence::Paste);
    } else if (path == QLatin1String("insert")) {
        static_cast<QLineEdit&>(box).insert(text);  // as a host script does
    } else if (path == QLatin1String("drop")) {
        QMimeData data;
        data.setText(text);
        const QPointF end(box.width() - 2, box.height() / 2);
        QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &enter);
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&box, &drop);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(&box, &commit);
    }
}

struct Texts {
    explicit Texts(const QByteArray& value) {
        if (value.isNull())
            qunsetenv("ZXWIZARD_TEXTS");
        else
            qputenv("ZXWIZARD_TEXTS", value);
    }
    ~Texts() { qunsetenv("ZXWIZARD_TEXTS"); }
};

QString captionOf(const QWidget* w) {
    if (const auto* frame = qobject_cast<const QGroupBox*>(w))
        return frame->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    return {};
}

QString accessibleName(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

}  // namespace

class TestControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qunsetenv("ZXWIZARD_TEXTS"); }  // the shipped texts
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void textBoxesHoldValidTextOnly_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("incoming");
        QTest::addColumn<QString>("expected");
        const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
        const QString nineteen(19, QLatin1Char('a'));
        const struct {
            const char* name;
            int limit;
            QString stored, incoming, expected;
        } cases[] = {
            {"NUL", 20, "", QStringLiteral("ab") + QChar(0) + "cd", "abcd"},
            {"C0 and DEL", 0, "",
             "a\tb\nc\x7f\x1b"
             "d",
             "abcd"},
            {"lone high surrogate", 20, "", QStringLiteral("x") + QChar(0xD800) + "'--", "x'--"},
            {"lone low surrogate", 20, "", QString(QChar(0xDC00)) + "y", "y"},
            {"astral character", 20, "", grin, grin},
            {"pair at the limit", 20, "", nineteen + grin, nineteen},
            {"room left by the text", 2, "1", "23", "12"},
            {"stored beyond the limit", 2, "123", "4", "123"},
            {"stored text kept as it is", 0, QStringLiteral("a") + QChar(0) + QChar(0xD800), "c",
             QStringLiteral("a") + QChar(0) + QChar(0xD800) + "c"},
            {"quotes and comments", 0, "", "''--;/* */\\", "''--;/* */\\"},
            {"bidi controls", 0, "", QString(QChar(0x202E)) + "abc",
             QString(QChar(0x202E)) + "abc"},
        };
        for (const auto& c : cases)
            for (const char* path : {"type", "paste", "insert", "drop", "input method"})
                QTest::addRow("%s by %s", c.name, path)
                    << c.limit << c.stored << path << c.incoming << c.expected;
        const QString megabyte(1 << 19, QChar(0x4E2D));
        QTest::newRow("1 MB pasted") << 0 << ""
                                     << "paste" << megabyte << megabyte;
    }
    void textBoxesHoldValidTextOnly() {
        QFETCH(int, limit);
        QFETCH(QString, stored);
        QFETCH(QString, path);
        QFETCH(QString, incoming);
        QFETCH(QString, expected);
        QWidget window;
        TextBox box(&window);
        box.setMaxChars(limit);
        box.setText(stored);
        QCOMPARE(box.text(), stored);
        window.show();
        bringIn(box, path, incoming);
        QCOMPARE(box.text(), expected);
    }

    // Told from the font files, the answer is the one the face that draws
    // the ideographs gives; with no Chinese family listed, the system picks
    // one, and only loading it tells. (Qt keeps the fallback order it first
    // worked out for a leading family, so two lists that differ only in the
    // order of their Chinese families cannot both be asked in one process.)
    void bitmapStrikeOfTheChineseFace_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<bool>("told");
        const QString song = QStringLiteral("AR PL UMing CN"),
                      sans = QStringLiteral("Noto Sans CJK SC"),
                      latin = QStringLiteral("DejaVu Sans");
        QTest::newRow("the wizard's font") << desktopFont(1).families() << true;
        QTest::newRow("no bitmaps") << QStringList{latin, sans} << true;
        QTest::newRow("Chinese face first") << QStringList{song} << true;
        QTest::newRow("none listed") << QStringList{latin} << false;
    }
    void bitmapStrikeOfTheChineseFace() {
        QFETCH(QStringList, families);
        QFETCH(bool, told);
        QFont font;
        font.setFamilies(families);
        font.setPixelSize(12);
        QSet<int> strikes;
        for (int size = 8; size <= 32; ++size) {
            if (loadedChineseBitmapStrike(font, size))
                strikes << size;
            const std::optional<bool> cheap = chineseBitmapStrike(font, size);
            QCOMPARE(cheap.has_value(), told);
            if (cheap)
                QVERIFY2(*cheap == strikes.contains(size), qPrintable(QString::number(size)));
        }
        if (families != desktopFont(1).families())
            return;
        QVERIFY(strikes.contains(12));  // else the rows above prove little
        for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
            const qreal device = 12 * ratio;
            const bool bitmaps = device == std::round(device) && strikes.contains(int(device));
            QCOMPARE(desktopFont(ratio).styleStrategy() == QFont::NoAntialias, bitmaps);
        }
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

    // The picture buttons show the provider's pictures once on screen.
    void pictureButtonsShowTheirPictures() {
        Main form;
        const MainControls& c = form.ui();
        const zx::ResourceProvider provider;
        const std::pair<CommandButton*, int> pictured[] = {{c.ComN, zx::ResourceProvider::Next},
                                                           {c.ComC, zx::ResourceProvider::Cancel}};
        for (const auto& [button, id] : pictured) {
            // The picture's fill: its most frequent colour.
            const QImage picture = provider.GetPicture(id).toImage();
            QHash<QRgb, int> count;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    ++count[picture.pixel(x, y)];
            count.remove(0);  // transparent
            const QColor fill = QColor::fromRgba(
                std::max_element(count.keyValueBegin(), count.keyValueEnd(), [](auto a, auto b) {
                    return a.second < b.second;
                })->first);
            const QImage shot = button->grab().toImage();
            bool shown = false;
            for (int y = 0; y < shot.height() && !shown; ++y)
                for (int x = 0; x < shot.width() && !shown; ++x)
                    shown = shot.pixelColor(x, y) == fill;
            QVERIFY2(shown, qPrintable(button->objectName()));
        }
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

    // What the window gets for text 1999 (asked with no fallback) and 1965
    // (asked with "x"); "!" where the provider refuses the texts file.
    void providerTexts_data() {
        QTest::addColumn<QByteArray>("variable");  // FILE: the file below
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("title");
        const struct {
            const char *name, *variable, *file, *month, *title;
        } rows[] = {
            {"unset: shipped", nullptr, nullptr, "启用月份", "建账向导"},
            {"empty: shipped", "", nullptr, "启用月份", "建账向导"},
            {"a file replaces all", "FILE", "# ours\n\n1999\t开始月份\r\n", "开始月份", "x"},
            {"an empty file: fallbacks", "FILE", "", "", "x"},
            {"missing file", "/nonexistent/texts", nullptr, "", "!"},
            {"no tab", "FILE", "1999 开始月份\n", "", "!"},
            {"no number", "FILE", "x\tabc\n", "", "!"},
            {"an id twice", "FILE", "1999\ta\n1999\tb\n", "", "!"},
            {"endless", "/dev/zero", nullptr, "", "!"},
            {"a FIFO nobody writes", "FIFO", nullptr, "", "!"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QByteArray(r.variable) << QByteArray(r.file)
                                  << QString::fromUtf8(r.month) << QString::fromUtf8(r.title);
    }
    void providerTexts() {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, file);
        QFETCH(QString, month);
        QFETCH(QString, title);
        QTemporaryFile texts;
        QVERIFY(texts.open());
        texts.write(file);
        texts.close();
        const QByteArray fifo = QFile::encodeName(texts.fileName()) + ".fifo";
        QVERIFY(variable != "FIFO" || ::mkfifo(fifo.constData(), 0600) == 0);
        const auto removeFifo = qScopeGuard([&] { QFile::remove(QFile::decodeName(fifo)); });
        const Texts set(variable == "FILE"   ? texts.fileName().toLocal8Bit()
                        : variable == "FIFO" ? fifo
                                             : variable);
        if (title == QLatin1String("!")) {
            QVERIFY_THROWS_EXCEPTION(std::exception, zx::ResourceProvider());
            return;
        }
        const zx::ResourceProvider provider;
        QCOMPARE(provider.GetText(1999, QString()), month);
        QCOMPARE(provider.GetText(1965, QStringLiteral("x")), title);
    }

    // The shipped texts say what the fallbacks say, and fill the captions
    // that have none.
    void shippedCaptionsAgreeWithTheFallbacks() {
        QHash<QString, QString> fallback;
        QString fallbackTitle;
        {
            const Texts set("/dev/null");
            Main form;
            form.ui();
            fallbackTitle = form.windowTitle();
            for (QWidget* w : form.findChildren<QWidget*>())
                fallback.insert(w->objectName(), captionOf(w));
        }
        Main form;
        form.ui();
        QCOMPARE(form.windowTitle(), fallbackTitle);
        int filled = 0;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            const QString before = fallback.value(w->objectName());
            const QString shipped = captionOf(w);
            if (before.isEmpty() && !shipped.isEmpty())
                ++filled;
            else
                QVERIFY2(shipped == before, qPrintable(w->objectName()));
        }
        QCOMPARE(filled, 3);  // La33, La46 and La55
    }

    // Each switch and option explains itself: its help is its own, never
    // empty and never another's.
    void everyChoiceHasItsOwnHelp() {
        Main form;
        QHash<QString, QString> owner;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            const auto kind = kindOf(w);
            const QString help = helpTextFor(w->objectName());
            if (!kind || (*kind != Kind::CheckBox && *kind != Kind::OptionButton) || help.isNull())
                continue;
            QVERIFY2(!help.trimmed().isEmpty(), qPrintable(w->objectName()));
            QVERIFY2(!owner.contains(help),
                     qPrintable(w->objectName() + " says what " + owner.value(help) + " says"));
            owner.insert(help, w->objectName());
        }
        QVERIFY(owner.size() > 20);
    }

    // The help reaches the keyboard: each control's help is its accessible
    // description, and focus moved by a key shows it in the panel as the
    // pointer does; focus set otherwise leaves the panel alone.
    void helpFollowsTheKeyboard() {
        Main form;
        const MainControls& c = form.ui();
        int described = 0;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            QCOMPARE(w->accessibleDescription(), helpTextFor(w->objectName()));
            described += !w->accessibleDescription().isEmpty();
        }
        QVERIFY(described > 30);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        c.Ch11->setFocus(Qt::OtherFocusReason);
        QCOMPARE(c.LaT->text(), QString());
        const auto shown = [&] {
            return "    " + helpTextFor(QApplication::focusWidget()->objectName());
        };
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != c.Ch11);
        QCOMPARE(c.LaT->text(), shown());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), c.Ch11);
        QCOMPARE(c.LaT->text(), shown());
        c.Ch12->setFocus(Qt::OtherFocusReason);
        QCOMPARE(c.LaT->text(), "    " + helpTextFor("Ch11"));
        // Arrows move between the options of a group, and the help with them.
        QWidget* option = form.findChild<QWidget*>("Op56");
        for (QWidget* w = option; w != &form; w = w->parentWidget())
            w->show();
        option->setFocus(Qt::TabFocusReason);
        QTest::keyClick(option, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Op57"));
        QCOMPARE(c.LaT->text(), shown());
        form.hide();
    }

    // Every control can be read out: by its caption, a picture button by the
    // words of its tooltip, a text box by what it holds (its label's words
    // and more where the label alone would not tell), an option group by its
    // heading; with the shipped texts and with a texts file that leaves
    // labels empty alike.
    void everyControlHasAName_data() {
        QTest::addColumn<QByteArray>("texts");
        QTest::newRow("shipped texts") << QByteArray();
        QTest::newRow("empty texts file") << QByteArray("/dev/null");
    }
    void everyControlHasAName() {
        QFETCH(QByteArray, texts);
        const Texts set(texts);
        Main form;
        form.ui();
        QSet<QString> boxes;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            const auto kind = kindOf(w);
            if (!kind || w->objectName() == QLatin1String("LaT"))
                continue;
            const QString name = accessibleName(w);
            if (*kind == Kind::PictureBox) {
                // A group of options is named by the heading it holds.
                const auto options = w->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly);
                if (options.isEmpty())
                    continue;
                QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
                QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Grouping);
                for (OptionButton* option : options)
                    QCOMPARE(QAccessible::queryAccessibleInterface(option)->parent()->text(
                                 QAccessible::Name),
                             name);
                continue;
            }
            QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
            if (!captionOf(w).isEmpty())
                QCOMPARE(name, captionOf(w));
            if (*kind == Kind::CommandButton && captionOf(w).isEmpty())
                QCOMPARE(w->toolTip(), name);
            if (*kind == Kind::TextBox) {
                QVERIFY2(!boxes.contains(name), qPrintable(name));
                boxes.insert(name);
                // The nearest label to its left on its row.
                QLabel* beside = nullptr;
                for (auto* label : w->parentWidget()->findChildren<QLabel*>()) {
                    const QRect g = label->geometry();
                    if (g.left() < w->geometry().left() &&
                        w->geometry().contains(w->geometry().left(), g.center().y()) &&
                        (!beside || g.left() > beside->geometry().left()))
                        beside = label;
                }
                QVERIFY2(beside, qPrintable(w->objectName()));
                QVERIFY2(name.endsWith(beside->text()), qPrintable(name + " / " + beside->text()));
            }
        }
        QCOMPARE(boxes.size(), 7);
        const MainControls& c = form.ui();
        QCOMPARE(QSet<QString>({accessibleName(c.ComP), accessibleName(c.ComN),
                                accessibleName(c.ComC), accessibleName(c.ComC1)})
                     .size(),
                 3);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
