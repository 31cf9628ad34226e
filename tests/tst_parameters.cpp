// The parameter groups through `zxwizard run`, where the window takes part:
// loaded values raising the option rules, guards refusing a click, and what
// the user leaves in the window reaching the rows. What the loads decide and
// the saves write on their own is tst_model's.

#include "Scenario.h"

#include <QTest>

namespace {

const QString Guide = QStringLiteral("向导提示");

QList<Scenario> scenarios() {
    QList<Scenario> s;
    const struct {
        const char* box;
        const char* sys;
        const char* param;
        const char* page;  // where the box is
        QString item;
        const char* message;
    } guards[] = {
        {"Ch21", "ST", "bBatch", "ST", "insert into Inventory (cInvCode,bInvBatch) values ('1',1)",
         "已存在有批次管理的存货，不能修改此项设置"},
        {"Ch32", "AA", "bProxySell", "PU",
         "insert into Inventory (cInvCode,bInvEntrust) values ('1',1)",
         "已存在有受托代销的存货，不能修改此项设置"},
    };
    for (const auto& g : guards) {
        s.append({.name = QStringLiteral("%1 guarded").arg(g.box),
                  .setup = {setParam(g.sys, g.param, "TRUE"), g.item},
                  .sys = g.page,
                  .script = QStringLiteral("click ComN\nclick %1\ndump\nclose").arg(g.box),
                  .exit = 3,
                  .messages = {QString::fromUtf8(g.message)},
                  .titles = {Guide},
                  .controls = {{g.box, "value", 1}}});
    }
    s.append({.name = "aux units kept by their guard keep the fixed rate open",
              .setup = {setParam("AA", "bStrsAuxUnit", "TRUE"),
                        "insert into Inventory (cInvCode,cInvA_Unit) values ('1','条')"},
              .sys = "AA",
              .script = "click Ch11\ndump\nclick ComN\nclick ComE",
              .messages = {"已存在有辅计量单位存货，不能修改此项设置"},
              .titles = {Guide},
              .params = {{"AA", "bStrsAuxUnit", "TRUE"}},
              .controls = {{"Ch18", "enabled", true}}});
    s.append({.name = "aux units off locks the fixed rate",
              .setup = {setParam("AA", "bStrsAuxUnit", "TRUE"), setParam("AA", "lFixed", "TRUE")},
              .sys = "AA",
              .script = "click Ch11\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "bStrsAuxUnit", "FALSE"}, {"AA", "lFixed", "FALSE"}},
              .controls = {{"Ch18", "value", 0}, {"Ch18", "enabled", false}}});
    s.append({.name = "classification off on an empty table creates class 00",
              .sys = "AA",
              .script = "click Ch15\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "bGoodClass", "FALSE"}, {"AA", "cGoodClass", "2"}},
              .sql = {{"select count(*) from InventoryClass where cInvCCode='00'", 1}},
              .controls = {{"Ch15", "tag", "Y"}}});
    s.append({.name = "classification kept while other classes exist",
              .setup = {"insert into VendorClass values ('01','x',1)"},
              .sys = "AA",
              .script = "click Ch17\ndump\nclose",
              .exit = 3,
              .messages = {"供应商已有分类，不能设置为不分类"},
              .titles = {Guide},
              .controls = {{"Ch17", "value", 1}, {"Ch17", "tag", "N"}}});

    // Loaded values raise the rules, and the loads' order keeps what they set.
    s.append({.name = "a loaded credit control opens its password box",
              .setup = {setParam("SA", "bCredit", "TRUE"), setParam("SA", "cCreditPwd", "abc")},
              .script = "click ComN\ndump\nclose",
              .exit = 3,
              .controls = {{"Te41", "enabled", true},
                           {"La45", "enabled", true},
                           {"Te41", "text", "***"},
                           {"Te42", "enabled", false}}});
    s.append(
        {.name = "a password from cDefault survives its box's Click",
         .setup = {"update AccInformation set cValue='', cDefault='TRUE' where cName='bCredit'",
                   "update AccInformation set cValue='stored', cDefault='fallback' where "
                   "cName='cCreditPwd'"},
         .script = "click ComN\npaste Te43 4\nclick ComE",
         .params = {{"SA", "cCreditPwd", "fallback"}}});
    s.append({.name = "a loaded department basis switches the plan captions",
              .setup = {setParam("IA", "cValueStyle", "按部门核算")},
              .sys = "IA",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Op52", "value", true},
                           {"Op511", "caption", "按部门"},
                           {"Op515", "caption", "按部门 + 存货"}}});
    s.append({.name = "options chosen in the window are saved by table",
              .sys = "IA",
              .script = "click ComN\nclick Op52\nclick Op514\nclick Op55\npaste Te55 6\nclick ComE",
              .params = {{"IA", "cValueStyle", "按部门核算"},
                         {"IA", "cPlan", "仓库加分类"},
                         {"IA", "cEstimate", "单到补差"},
                         {"IA", "dIAStartDate", "2001-6-1"}}});

    // Finish's checks: a missing month is asked for; a department whose
    // warehouses value differently brings the basis back to by-warehouse.
    s.append({.name = "a missing start month is asked for",
              .script = "click ComN\nclick ComE\nclose",
              .exit = 3,
              .messages = {"必须录入启用月份"},
              .titles = {Guide}});
    s.append({.name = "a department check that fails selects by-warehouse again",
              .setup = {"insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) values "
                        "('1','D1','全月平均法'),('2','D1','先进先出法')"},
              .sys = "IA",
              .script = "click ComN\nclick Op52\npaste Te55 2\nclick ComE\ndump\nclose",
              .exit = 3,
              .messages = {"由于在仓库档案中几个不同计价方式的仓库属于同一部门，因此不能设置为"
                           "按部门核算。如果仍想设置为按部门核算，请在仓库档案中改变相应仓库的"
                           "计价方式来解决此问题。"},
              .controls = {{"Op51", "value", true}, {"Op511", "caption", "按仓库"}}});

    // The start-period check between the loads and the window.
    s.append({.name = "a derived month is shown locked and saved",
              .setup = {setParam("PU", "dPUStartDate", "2001-3-1")},
              .sys = "ST",
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-3-1"}},
              .controls = {{"Te26", "enabled", false},
                           {"Te26", "backColor", "&H00C0C0C0"},
                           {"Te26", "text", "3"}}});
    s.append(
        {.name = "a guard that cannot ask fails the call and writes nothing",
         .setup = {setParam("ST", "bBatch", "TRUE"), "alter table Inventory drop column bInvBatch"},
         .sys = "ST",
         .script = "click ComN\nclick Ch21\nclick ComE",
         .exit = 4,
         .unchanged = true,
         .errorContains = "bInvBatch"});
    return s;
}

}  // namespace

class TestParameters : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scenario_data() {
        QTest::addColumn<int>("index");
        const auto all = scenarios();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(qPrintable(all[i].name)) << i;
    }
    void scenario() {
        QFETCH(int, index);
        runScenario(scenarios()[index]);
    }
};

QTEST_GUILESS_MAIN(TestParameters)
#include "tst_parameters.moc"
