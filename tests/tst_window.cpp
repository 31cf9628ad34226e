// Form Main on its own: the captions from the provider, the text boxes'
// limits, the buttons driven by real clicks, and the rules that need no
// database.

#include "window/Main.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QTemporaryFile>
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

QString captionOf(QWidget* w) {
    if (auto* box = qobject_cast<QGroupBox*>(w))
        return box->title();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    return static_cast<QLabel*>(w)->text();
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
    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char* const rows[][2] = {
            {"FraB", "步骤"},
            {"La1", "1.公共参数"},
            {"La2", "2.业务范围"},
            {"La3", "3.完成"},
            {"ComE", "完成"},
            {"ComP", ""},
            {"ComN", ""},
            {"ComC", ""},
            {"ComC1", ""},
            {"LaT", ""},
            {"Fra1", "公用参数"},
            {"Fra2", "库存管理业务范围"},
            {"Fra3", "采购管理业务范围"},
            {"Fra4", "销售管理业务范围"},
            {"Fra5", "存货核算业务范围"},
            {"Ch11", "存货有无辅计量单位"},
            {"Ch12", "是否允许零出库"},
            {"Ch13", "有无成套件管理"},
            {"Ch14", "有无远程应用"},
            {"Ch15", "存货是否分类"},
            {"Ch16", "客户是否分类"},
            {"Ch17", "供应商是否分类"},
            {"Ch18", "是否固定换算率"},
            {"La15", "标识号"},
            {"Ch21", "有无批次管理"},
            {"Ch22", "有无保质期管理"},
            {"Ch23", "有无组装拆卸业务"},
            {"Ch24", "有无形态转换业务"},
            {"Ch25", "是否有最高最低库存报警"},
            {"Ch27", "销售出库单是否由销售系统生成"},
            {"La26", "启用月份"},
            {"Ch31", "有无外币业务"},
            {"Ch32", "有无受托代销业务"},
            {"La33", ""},
            {"Ch41", "有无外币业务"},
            {"Ch42", "有无委托代销业务"},
            {"Ch43", "有无零售日报业务"},
            {"Ch44", "有无销售调拨业务"},
            {"Ch45", "是否先发货后开票"},
            {"Ch46", "可否超订量发货"},
            {"Ch47", "销售报价是否含税"},
            {"Ch48", "销售计划金额是否含税"},
            {"Ch49", "是否有信用额度控制"},
            {"Ch410", "是否有最低售价控制"},
            {"La45", "控制口令"},
            {"La46", ""},
            {"La47", "启用月份"},
            {"La51", "核算方式"},
            {"La52", "暂估处理方式"},
            {"La53", "零出库成本选择"},
            {"La54", "存货资金占用规划设置"},
            {"La55", ""},
            {"Op51", "按仓库核算"},
            {"Op52", "按部门核算"},
            {"Op53", "月初回冲"},
            {"Op54", "单到回冲"},
            {"Op55", "单到补差"},
            {"Op56", "上次出库成本价"},
            {"Op57", "参考成本价"},
            {"Op58", "结存成本价"},
            {"Op59", "上次入库成本价"},
            {"Op510", "手工输入"},
            {"Op511", "按仓库"},
            {"Op512", "按存货分类"},
            {"Op513", "按存货"},
            {"Op514", "按仓库 + 存货分类"},
            {"Op515", "按仓库 + 存货"},
            {"Op516", "按存货分类 + 存货"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        Main form;
        form.ui();
        QCOMPARE(form.windowTitle(), QStringLiteral("建账向导"));
        QCOMPARE(captionOf(control(form, name.toLatin1().constData())), caption);
    }

    void providerTexts() {
        QTemporaryFile texts;
        QVERIFY(texts.open());
        texts.write("# comment\n1965\tMy wizard\n1999\t开始月份\n2001\tPIN\n");
        texts.close();
        qputenv("ZXWIZARD_TEXTS", texts.fileName().toLocal8Bit());
        {
            Main form;
            form.ui();
            QCOMPARE(form.windowTitle(), QStringLiteral("My wizard"));
            QCOMPARE(control<QLabel>(form, "La33")->text(), QStringLiteral("开始月份"));
            QCOMPARE(control<QLabel>(form, "La55")->text(), QStringLiteral("开始月份"));
            QCOMPARE(control<QLabel>(form, "La46")->text(), QStringLiteral("PIN"));
            QCOMPARE(control<QLabel>(form, "La3")->text(),
                     QStringLiteral("3.完成"));  // stored caption
        }
        qputenv("ZXWIZARD_TEXTS", QByteArray("/nonexistent/texts.txt"));
        {
            Main form;
            QVERIFY_THROWS_EXCEPTION(std::exception, form.ui());
        }
        qunsetenv("ZXWIZARD_TEXTS");
    }

    // A paste keeps to the limit; a stored value set by code is kept whole,
    // and once the user shortens it the limit holds again.
    void textLimits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limit");  // 0: none
        for (const char* name : {"Te11", "Te26", "Te55"})
            QTest::newRow(name) << name << 2;
        for (const char* name : {"Te41", "Te42"})
            QTest::newRow(name) << name << 20;
        for (const char* name : {"Te33", "Te43"})
            QTest::newRow(name) << name << 0;
    }
    void textLimits() {
        QFETCH(QString, name);
        QFETCH(int, limit);
        Main form;
        form.ui();
        auto* box = control<TextBox>(form, name.toLatin1().constData());
        box->setEnabled(true);
        box->selectAll();
        box->insert(QString(40, QLatin1Char('9')));
        QCOMPARE(int(box->text().size()), limit ? limit : 40);
        box->setText(QString(45, QLatin1Char('8')));
        QCOMPARE(int(box->text().size()), 45);
        box->end(false);
        QTest::keyClick(box, Qt::Key_Backspace);
        box->insert(QStringLiteral("77"));
        QCOMPARE(int(box->text().size()), limit ? 44 : 46);
    }

    // Next and Previous twice: the step's buttons, the page of the subsystem
    // where page 1 is, and the values the user set, kept.
    void navigationKeepsValues_data() {
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("page");  // the page shown on step 2, at its twips
        QTest::newRow("ST") << "ST"
                            << "PicS2 2400 195 5655 3225";
        QTest::newRow("PU") << "PU"
                            << "PicS3 2460 195 5430 3180";
        QTest::newRow("SA") << "SA"
                            << "PicS4 2460 195 5475 3180";
        QTest::newRow("IA") << "IA"
                            << "PicS5 2460 195 5475 3180";
        QTest::newRow("other") << "st"
                               << "";
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
            QCOMPARE(shown(),
                     ("ComE ComC1 Ima1 " + page.section(' ', 0, 0)).simplified() + " ComP La2");
            QVERIFY(c.LaT->text().isEmpty());
            if (!page.isEmpty()) {
                const QRect r = twips(control(form, page.section(' ', 0, 0).toLatin1()));
                QCOMPARE(QStringList({QString::number(r.left()), QString::number(r.top()),
                                      QString::number(r.width()), QString::number(r.height())})
                             .join(' '),
                         page.section(' ', 1));
            }
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
