// The window's controls on their own: the texts the provider ships and how
// a texts file replaces them.

#include "resources/ResourceProvider.h"
#include "window/Main.h"

#include <QApplication>
#include <QTemporaryFile>
#include <QTest>

using namespace zx::ui;

namespace {

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

}  // namespace

class TestControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qunsetenv("ZXWIZARD_TEXTS"); }  // the shipped texts
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void providerTexts_data() {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("monthLabel");  // text 1999, no fallback
        QTest::addColumn<QString>("title");       // text 1965, fallback "x"
        const QByteArray none;
        QTest::newRow("unset: shipped") << none << none << "启用月份"
                                        << "建账向导";
        QTest::newRow("empty: shipped") << QByteArray("") << none << "启用月份"
                                        << "建账向导";
        QTest::newRow("a file replaces them all")
            << QByteArray("FILE") << QByteArray("# ours\n\n1999\t开始月份\r\n") << "开始月份"
            << "x";
        QTest::newRow("an empty file: fallbacks") << QByteArray("FILE") << QByteArray("") << ""
                                                  << "x";
    }
    void providerTexts() {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, file);
        QFETCH(QString, monthLabel);
        QFETCH(QString, title);
        QTemporaryFile texts;
        QVERIFY(texts.open());
        texts.write(file);
        texts.close();
        const Texts set(variable == "FILE" ? texts.fileName().toLocal8Bit() : variable);
        const zx::ResourceProvider provider;
        QCOMPARE(provider.GetText(1999, QString()), monthLabel);
        QCOMPARE(provider.GetText(1965, QStringLiteral("x")), title);
    }

    void badTextsFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("no tab") << QByteArray("1999 开始月份\n");
        QTest::newRow("no number") << QByteArray("x\tabc\n");
        QTest::newRow("an id twice") << QByteArray("1999\ta\n1999\tb\n");
    }
    void badTextsFilesAreRefused() {
        QFETCH(QByteArray, content);
        QTemporaryFile texts;
        QVERIFY(texts.open());
        texts.write(content);
        texts.close();
        const Texts set(content.isNull() ? QByteArray("/nonexistent/texts")
                                         : texts.fileName().toLocal8Bit());
        QVERIFY_THROWS_EXCEPTION(std::exception, zx::ResourceProvider());
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
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
