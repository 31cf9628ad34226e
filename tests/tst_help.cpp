// The help panel: which text each control shows, how texts are shared, and
// when the panel changes.

#include "window/HelpTexts.h"
#include "window/Main.h"

#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>

using namespace zx::ui;

namespace {

struct Full {
    const char* controls;  // names sharing the text, separated by blanks
    const char* text;
};

// Given whole.
const Full fullTexts[] = {
    {"Ch12",
     "零出库指出库数量大于存货的结存数量时，仍然出库，即超现存量出库。允许零出库时：所有单据录入时"
     "，将允许负出库。不允许零出库时：所有单据录入时，将不允许负出库。"},
    {"Ch15",
     "无分类时，不能设置存货分类。从无分类改成有分类时，一级编码长度固定为二位，其他级次用户可自由"
     "设置；没有设置存货分类时，可从有分类改成无分类。"},
    {"Ch16",
     "无分类时，不能设置客户分类。从无分类改成有分类时，一级编码长度固定为二位，其他级次用户可自由"
     "设置；没有设置客户分类时，可从有分类改成无分类。"},
    {"Ch17",
     "无分类时，不能设置供应商分类。从无分类改成有分类时，一级编码长度固定为二位，其他级次用户可自"
     "由设置；没有设置供应商分类时，可从有分类改成无分类。"},
    {"Ch18",
     "如果是固定换算率，在单据只，修改数量时，换算率不变，件数跟着变，修改件数或换算率时，同目前的"
     "做法。如果不是固定换算率，数量、件数和换算率之间的关系同目前的做法。"},
    {"Ch22",
     "保质期管理指对存货的失效日期进行监控：对过期、到期的存货进行报警，并对即将过期的存货进行预警"
     "。只有批次管理时，才能进行保质期管理，即要想保质期管理必须先要批次管理。"},
    {"Ch25", "指单据录入时，如果存货当前现存量小于最低库存量或大于最高库存量，是否需要系统报警。"},
    {"Ch27", "销售出库单是否由销售系统生成"},
    {"Ch31",
     "如果企业有外币采购业务，那么就应该将该项打上勾。设置后，采购订单、采购发票和采购菜单会将有关"
     "外币的功能添加进系统，否则系统不会出现有关外币业务的功能。"},
    {"Ch32",
     "商业企业如果有受托代销业务，那么就应该将该项打上勾。设置后，采购系统会将受托代销入库单和受托"
     "代销结算、统计表等功能添加进系统，否则系统不会出现有关受托代销的功能。"},
    {"Ch41",
     "若有，可以将币种项选入可处理外币业务单据的格式；相关账表查询的筛选条件中包含币种，输出内容中"
     "包含外币业务的业务信息。否则系统不能处理外币业务。"},
    {"Ch42",
     "若有，系统主菜单的【业务】下有【委托代销】菜单项，可处理委托代销业务并可查询相关的账表；否则"
     "系统不处理委托代销业务。"},
    {"Ch43",
     "若有，系统主菜单的【业务】菜单项下有【零售】菜单项，相关账表如销售收入明细账中包含零售日报的"
     "数据；否则系统不能处理零售日报业务。"},
    {"Ch44",
     "若有，系统主菜单的【业务】下有【销售调拨】菜单项，相关账表如销售收入明细账中包含销售调拨单的"
     "数据；否则系统不能处理内部销售调拨业务。"},
    {"La53",
     "零出库成本选择是指出库单据记明细账时，如果出现账中为负成本，造成出库成本不可计算时，出库成本"
     "的取值方式。用户可以随时对零出库成本进行重新选择。各方式如下："},
    {"Op56",
     "上次出库成本：取明细账中此存货的上一次出库单价，作为本出库单据的出库单价，计算出库成本。"},
    {"Op57",
     "参考成本：取存货目录中此存货的参考成本，即参考单价，作为本出库单据的出库单价，计算出库成本"
     "。"},
    {"Op58", "结存成本：取明细账中的此存货的结存单价，作为本出库单据的出库单价，计算出库成本。"},
    {"Op59",
     "上次入库成本：取明细账中此存货的上一次入库单价，作为本出库单据的出库单价，计算出库成本。"},
    {"Op510", "手工输入：提示用户输入单价，作为本出库单据的出库单价，计算出库成本。"},
    {"La54",
     "资金占用规划的选择是指用户确定本企业按某种方式输入资金占用规划，并按此种方式进行资金占用的分"
     "析。用户可以随时对资金占用规划进行重新选择。"},
};
const Full beginnings[] = {
    {"Ch11", "有些存货可以按两种计量单位计量"},
    {"Ch13", ""},
    {"Ch14", "如果企业的销售组织模式为分销模式"},
    {"Ch21", "批次管理指对存货的收发存进行批次跟踪"},
    {"Ch23", "某些企业的某些存货既可单独出售，又可与其他存货组装在一起销售"},
    {"Ch24", "由于自然条件或其他因素的影响，某些存货会由一种形态转换成另一种形态"},
    {"La26 Te26", "对新建的账套，用户应输入启用日期"},
    {"La33 Te33", "对新建的账套，用户应输入启用日期"},
    {"Ch46", "若是，在参照销售订单增加发货单、销售发票时"},
    {"Ch47", "报价指填制销售单据时货物的本位币的参考售价"},
    {"Ch48", "若是，销售计划中的计划销售金额和销售定额两项指标，均指税后金额"},
    {"Ch49 La45 Te41",
     "若是，在增加、修改和审核销售订单、发货单、销售发票、委托代销发货单、委托代销结算单时，若当前"
     "客户的应收账款余额超过了该客户的档案中设定的信用额度值"},
    {"Ch410 La46 Te42",
     "若是，在增加、修改和审核销售订单、发货单、销售发票、委托代销发货单、委托代销结算单时，若货物"
     "的实际销售价格超过了存货档案中设定的最低售价"},
    {"La47 Te43", "对新建的账套，用户应输入启用日期"},
    {"La51", "初建账套时，用户可以选择按仓库核算或按部门核算"},
    {"La52", "如果与采购系统集成使用时，用户可以进行暂估业务"},
    {"La55 Te55", "对新建的账套，用户应输入启用日期"},
};

void hover(Main& form, const QString& name) {
    QWidget* w = form.findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    const QPointF centre = QRectF(w->rect()).center();
    QMouseEvent move(QEvent::MouseMove, centre, w->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

QStringList namesOf(const Full& entry) {
    return QString::fromLatin1(entry.controls).split(QLatin1Char(' '));
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fullTextsStandAsWritten() {
        for (const Full& entry : fullTexts)
            for (const QString& name : namesOf(entry))
                QCOMPARE(helpTextFor(name), QString::fromUtf8(entry.text));
    }

    void completedTextsKeepTheirBeginning() {
        static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
        for (const Full& entry : beginnings) {
            const QStringList names = namesOf(entry);
            const QString text = helpTextFor(names.first());
            const QString beginning = QString::fromUtf8(entry.text);
            QVERIFY2(text.startsWith(beginning), entry.controls);
            QVERIFY2(text.size() > beginning.size() + 20, entry.controls);
            QVERIFY2(text.endsWith(QStringLiteral("。")), entry.controls);
            // Chinese throughout; the only Latin letters are a method's name.
            QVERIFY2(!QString(text).remove(QStringLiteral("E-mail")).contains(latin),
                     entry.controls);
            for (const QString& name : names)
                QCOMPARE(helpTextFor(name), text);
        }
        // One start-month text on all four pages.
        QCOMPARE(helpTextFor(QStringLiteral("Te26")), helpTextFor(QStringLiteral("La55")));
        QVERIFY(helpTextFor(QStringLiteral("Ch14"))
                    .contains(QStringLiteral("点对点(调制解调器)、E-mail、文件（共享目录）")));
    }

    void controlsWithoutText() {
        for (const char* name : {"ComP", "ComN", "ComE", "ComC", "ComC1", "Fra1", "Fra4", "Op51",
                                 "Op55", "Op511", "Op516", "Te11", "La15", "Ch45"})
            QVERIFY2(helpTextFor(QLatin1String(name)).isNull(), name);
    }

    void panelFollowsThePointer() {
        Main form;
        form.SysCode = QStringLiteral("SA");
        MainControls& c = form.ui();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(c.LaT->text().isEmpty());

        hover(form, QStringLiteral("Ch12"));
        QCOMPARE(c.LaT->text(), QStringLiteral("    ") + helpTextFor(QStringLiteral("Ch12")));
        hover(form, QStringLiteral("Fra1"));  // the page background keeps the last text
        hover(form, QStringLiteral("Te11"));
        QCOMPARE(c.LaT->text(), QStringLiteral("    ") + helpTextFor(QStringLiteral("Ch12")));

        c.ComN->click();
        QVERIFY(c.LaT->text().isEmpty());  // a page change empties the panel
        c.Ch49->setValue(1);
        hover(form, QStringLiteral("Ch49"));
        const QString credit = c.LaT->text();
        QVERIFY(credit.startsWith(QStringLiteral("    若是")));
        hover(form, QStringLiteral("Te41"));
        QCOMPARE(c.LaT->text(), credit);
        hover(form, QStringLiteral("Ch47"));
        QCOMPARE(c.LaT->text(), QStringLiteral("    ") + helpTextFor(QStringLiteral("Ch47")));
        hover(form, QStringLiteral("ComE"));
        QCOMPARE(c.LaT->text(), QStringLiteral("    ") + helpTextFor(QStringLiteral("Ch47")));
        c.ComP->click();
        QVERIFY(c.LaT->text().isEmpty());
        form.hide();
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
