// The parameter groups end to end: what each load puts into the window,
// what the option rules do with it, and the rows each save writes.

#include "Scenario.h"

#include <QTest>

namespace {

const QString AuxUnitItem =
    "insert into Inventory (cInvCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,bInvEntrust) "
    "values ('1','条',0,0,0,0)";

QList<Scenario> commonGroupScenarios() {
    QList<Scenario> s;
    // The check-box rule on a common switch.
    const struct {
        const char* name;
        QString setup;
        int value;
    } loads[] = {
        {"true lower case", setParam("AA", "bStrsAuxUnit", "true"), 1},
        {"True", setParam("AA", "bStrsAuxUnit", "True"), 1},
        {"1 is not true", setParam("AA", "bStrsAuxUnit", "1"), 0},
        {"TRUE and a blank", setParam("AA", "bStrsAuxUnit", "TRUE "), 0},
        {"empty takes the default",
         "update AccInformation set cValue='', cDefault='TRUE' where cName='bStrsAuxUnit'", 1},
        {"Null takes the default",
         "update AccInformation set cValue=NULL, cDefault='true' where cName='bStrsAuxUnit'", 1},
        {"Null default",
         "update AccInformation set cValue=NULL, cDefault=NULL where cName='bStrsAuxUnit'", 0},
    };
    for (const auto& l : loads)
        s.append({.name = QStringLiteral("load %1").arg(l.name),
                  .setup = {l.setup},
                  .script = "dump\nclose",
                  .exit = 3,
                  .controls = {{"Ch11", "value", l.value}}});

    s.append(
        {.name = "remote off leaves Te11",
         .setup = {setParam("AA", "cID", "42")},
         .script = "dump\nclose",
         .exit = 3,
         .controls = {{"Ch14", "value", 0}, {"Te11", "text", ""}, {"Te11", "enabled", false}}});
    s.append(
        {.name = "remote by default",
         .setup = {"update AccInformation set cValue='', cDefault='TRUE' where cName='bRemote'",
                   setParam("AA", "cID", "07")},
         .script = "dump\nclose",
         .exit = 3,
         .controls = {{"Ch14", "value", 1},
                      {"Te11", "text", "07"},
                      {"Te11", "enabled", true},
                      {"Ch14", "enabled", true}}});
    s.append({.name = "remote unticked clears cID",
              .setup = {setParam("AA", "bRemote", "TRUE"), setParam("AA", "cID", "07")},
              .script = "click Ch14\nclick ComN\npaste Te43 1\nclick ComE",
              .params = {{"AA", "bRemote", "FALSE"}, {"AA", "cID", ""}}});
    s.append(
        {.name = "remote stays when Te11 is cleared by untick and retick",
         .setup = {setParam("AA", "bRemote", "TRUE"), setParam("AA", "cID", "07")},
         .script = "click Ch14\nclick Ch14\ndump\nclose",
         .exit = 3,
         .controls = {{"Te11", "text", ""}, {"Te11", "enabled", true}, {"La15", "enabled", true}}});

    // Zero-stock issues decide the sales over-stock rows, whatever the subsystem.
    s.append({.name = "zero stock off in an ST run",
              .setup = {setParam("SA", "bOverStock", "TRUE"), setParam("SA", "cOverStockPwd", "x"),
                        setParam("ST", "dSTStartDate", "2001-2-1")},
              .sys = "ST",
              .script = "click ComN\nclick ComE",
              .params = {{"AA", "bFlotEmerge", "FALSE"},
                         {"SA", "bOverStock", "FALSE"},
                         {"SA", "cOverStockPwd", ""}}});
    s.append({.name = "zero stock on",
              .sys = "AA",
              .script = "click Ch12\nclick ComN\nclick ComE",
              .params = {{"AA", "bFlotEmerge", "TRUE"},
                         {"SA", "bOverStock", "TRUE"},
                         {"SA", "cOverStockPwd", ""}}});

    s.append({.name = "missing lFixed row is created",
              .setup = {"delete from AccInformation where cName='lFixed'"},
              .sys = "AA",
              .script = "click Ch11\nclick Ch18\nclick ComN\nclick ComE",
              .params = {{"AA", "lFixed", "TRUE"}},
              .sql = {{"select count(*) from AccInformation where cName='lFixed'", 1},
                      {"select cID||cCaption||cType||cDefault||bVisible||bEnable from "
                       "AccInformation where cName='lFixed'",
                       "45是否固定换算率BooleanFALSE00"}}});

    // Classification switched off.
    s.append({.name = "unclassified on empty table creates class 00",
              .sys = "AA",
              .script = "click Ch15\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "bGoodClass", "FALSE"}, {"AA", "cGoodClass", "2"}},
              .sql = {{"select cInvCCode||cInvCName||iInvCGrade from InventoryClass", "00无级次1"},
                      {"select CODINGRULE from GradeDef where KEYWORD='inventoryclass'", "2"},
                      {"select CODINGRULE from GradeDef where KEYWORD='customerclass'", "122"}},
              .controls = {{"Ch15", "tag", "Y"}}});
    s.append({.name = "unclassified over class 00 only writes the switch",
              .setup = {"insert into CustomerClass values ('00','无级次',1)"},
              .sys = "AA",
              .script = "click Ch16\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "bCustClass", "FALSE"}, {"AA", "cCustClass", ""}},
              .sql = {{"select count(*) from CustomerClass", 1},
                      {"select CODINGRULE from GradeDef where KEYWORD='customerclass'", "122"}},
              .controls = {{"Ch16", "tag", "N"}}});
    s.append({.name = "retick ignores the tag",
              .sys = "AA",
              .script = "click Ch17\nclick Ch17\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "bProvClass", "TRUE"}, {"AA", "cProvClass", ""}},
              .sql = {{"select count(*) from VendorClass", 0}},
              .controls = {{"Ch17", "tag", "Y"}, {"Ch17", "value", 1}}});
    return s;
}

QList<Scenario> optionRuleScenarios() {
    QList<Scenario> s;
    const struct {
        const char* box;
        const char* param;
        QString item;
        const char* message;
    } guards[] = {
        {"Ch11", "bStrsAuxUnit", AuxUnitItem, "已存在有辅计量单位存货，不能修改此项设置"},
        {"Ch13", "bAuxFitMgr", "insert into Inventory (cInvCode,bAccessary) values ('1',1)",
         "已存在有成套件管理的存货，不能修改此项设置"},
    };
    for (const auto& g : guards) {
        s.append({.name = QStringLiteral("%1 guarded").arg(g.box),
                  .setup = {setParam("AA", g.param, "TRUE"), g.item},
                  .sys = "AA",
                  .script = QStringLiteral("click %1\ndump\nclick ComN\nclick ComE").arg(g.box),
                  .messages = {QString::fromUtf8(g.message)},
                  .params = {{"AA", g.param, "TRUE"}},
                  .controls = {{g.box, "value", 1}, {"Ch18", "enabled", true}}});
        s.append({.name = QStringLiteral("%1 free").arg(g.box),
                  .setup = {setParam("AA", g.param, "TRUE")},
                  .sys = "AA",
                  .script = QStringLiteral("click %1\ndump\nclick ComN\nclick ComE").arg(g.box),
                  .params = {{"AA", g.param, "FALSE"}},
                  .controls = {{g.box, "value", 0}}});
    }
    s.append({.name = "aux units off locks the fixed rate",
              .setup = {setParam("AA", "bStrsAuxUnit", "TRUE"), setParam("AA", "lFixed", "TRUE")},
              .sys = "AA",
              .script = "click Ch11\ndump\nclick ComN\nclick ComE",
              .params = {{"AA", "lFixed", "FALSE"}},
              .controls = {{"Ch18", "value", 0}, {"Ch18", "enabled", false}}});

    const struct {
        const char* box;
        const char* param;
        const char* sys;
        const char* page;  // empty: page 1
        QString item;
        const char* message;
    } stockGuards[] = {
        {"Ch21", "bBatch", "ST", "ST", "insert into Inventory (cInvCode,bInvBatch) values ('1',1)",
         "已存在有批次管理的存货，不能修改此项设置"},
        {"Ch22", "bQuality", "ST", "ST",
         "insert into Inventory (cInvCode,bInvQuality) values ('1',-1)",
         "已存在有保质期管理的存货，不能修改此项设置"},
        {"Ch32", "bProxySell", "AA", "PU",
         "insert into Inventory (cInvCode,bInvEntrust) values ('1',1)",
         "已存在有受托代销的存货，不能修改此项设置"},
    };
    for (const auto& g : stockGuards)
        s.append({.name = QStringLiteral("%1 guarded").arg(g.box),
                  .setup = {setParam(g.sys, g.param, "TRUE"), g.item},
                  .sys = g.page,
                  .script = QStringLiteral("click ComN\nclick %1\ndump\nclose").arg(g.box),
                  .exit = 3,
                  .messages = {QString::fromUtf8(g.message)},
                  .controls = {{g.box, "value", 1}}});

    const struct {
        const char* box;
        const char* table;
        const char* message;
    } classes[] = {
        {"Ch15", "InventoryClass", "存货已有分类，不能设置为不分类"},
        {"Ch16", "CustomerClass", "客户已有分类，不能设置为不分类"},
        {"Ch17", "VendorClass", "供应商已有分类，不能设置为不分类"},
    };
    for (const auto& c : classes) {
        s.append({.name = QStringLiteral("%1 one other class").arg(c.box),
                  .setup = {QStringLiteral("insert into %1 values ('01','x',1)").arg(c.table)},
                  .sys = "AA",
                  .script = QStringLiteral("click %1\ndump\nclose").arg(c.box),
                  .exit = 3,
                  .messages = {QString::fromUtf8(c.message)},
                  .controls = {{c.box, "value", 1}, {c.box, "tag", "N"}}});
        s.append({.name = QStringLiteral("%1 two classes").arg(c.box),
                  .setup = {QStringLiteral("insert into %1 values ('00','x',1)").arg(c.table),
                            QStringLiteral("insert into %1 values ('01','y',1)").arg(c.table)},
                  .sys = "AA",
                  .script = QStringLiteral("click %1\ndump\nclose").arg(c.box),
                  .exit = 3,
                  .messages = {QString::fromUtf8(c.message)},
                  .controls = {{c.box, "value", 1}, {c.box, "tag", "N"}}});
    }
    s.append({.name = "loaded credit control enables its password",
              .setup = {setParam("SA", "bCredit", "TRUE"), setParam("SA", "cCreditPwd", "abc")},
              .script = "click ComN\ndump\nclose",
              .exit = 3,
              .controls = {{"Ch49", "value", 1},
                           {"Te41", "enabled", true},
                           {"La45", "enabled", true},
                           {"Te41", "text", "***"},
                           {"Te42", "enabled", false}}});
    s.append({.name = "loaded department basis switches the plan captions",
              .setup = {setParam("IA", "cValueStyle", "按部门核算")},
              .sys = "IA",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Op52", "value", true},
                           {"Op511", "caption", "按部门"},
                           {"Op515", "caption", "按部门 + 存货"},
                           {"Op512", "caption", "按存货分类"}}});
    return s;
}

QList<Scenario> groupScenarios() {
    QList<Scenario> s;
    // ST
    s.append({.name = "ST stored month locks the box",
              .setup = {setParam("ST", "dSTStartDate", "2001-11-1")},
              .sys = "ST",
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-11-1"}},
              .controls = {{"Te26", "text", "11"}, {"Te26", "enabled", false}}});
    s.append({.name = "ST month that is not a date",
              .setup = {setParam("ST", "dSTStartDate", "abc")},
              .sys = "ST",
              .script = "click ComN\ndump\npaste Te26 3\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-3-1"}},
              .controls = {{"Te26", "enabled", true}, {"Te26", "text", ""}}});
    s.append({.name = "ST month derived from purchasing",
              .setup = {setParam("PU", "dPUStartDate", "2001-3-1")},
              .sys = "ST",
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-3-1"}},
              .controls = {{"Te26", "enabled", false},
                           {"Te26", "backColor", "&H00C0C0C0"},
                           {"Te26", "text", "3"}}});
    s.append({.name = "ST switches and month 03",
              .sys = "ST",
              .script = "click ComN\nclick Ch23\nclick Ch25\ntype Te26 03\nclick ComE",
              .params = {{"ST", "bTrans", "TRUE"},
                         {"ST", "bAssmble", "FALSE"},
                         {"ST", "bSTcontrol", "TRUE"},
                         {"ST", "bBatch", "FALSE"},
                         {"ST", "bSAcreat", "TRUE"},
                         {"ST", "dSTStartDate", "2001-03-1"},
                         {"IA", "dIAStartDate", ""}}});
    s.append({.name = "ST moves the IA start date",
              .setup = {setParam("ST", "dSTStartDate", "2001-4-1"),
                        setParam("IA", "dIAStartDate", "2001-1-1")},
              .sys = "ST",
              .script = "click ComN\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-4-1"}, {"IA", "dIAStartDate", "2001-4-1"}}});
    s.append({.name = "ST leaves IA after its opening period closed",
              .setup = {setParam("ST", "dSTStartDate", "2001-4-1"),
                        setParam("IA", "dIAStartDate", "2001-1-1"),
                        "update GL_mend set bflag_ST=1 where iperiod=0"},
              .sys = "ST",
              .script = "click ComN\nclick ComE",
              .params = {{"IA", "dIAStartDate", "2001-1-1"}}});

    // PU
    s.append(
        {.name = "PU without foreign currency",
         .setup = {setParam("AA", "bFrgnCurrencyacc", "false"), setParam("PU", "bExchange", "TRUE"),
                   setParam("PU", "dPUStartDate", "2001-7-1")},
         .sys = "PU",
         .script = "click ComN\ndump\nclick ComE",
         .params = {{"PU", "bExchange", "FALSE"}, {"PU", "dPUStartDate", "2001-7-1"}},
         .controls = {{"Ch31", "value", 0},
                      {"Ch31", "enabled", false},
                      {"Te33", "text", "7"},
                      {"Te33", "enabled", false}}});
    s.append(
        {.name = "PU empty currency flag follows bExchange",
         .setup = {setParam("AA", "bFrgnCurrencyacc", ""), setParam("PU", "bExchange", "TRUE")},
         .sys = "PU",
         .script = "click ComN\ndump\npaste Te33 5\nclick ComE",
         .params = {{"PU", "bExchange", "TRUE"}, {"PU", "dPUStartDate", "2001-5-1"}},
         .controls = {{"Ch31", "value", 1}, {"Ch31", "enabled", true}}});
    s.append(
        {.name = "PU industrial edition locks consignment",
         .setup = {setParam("AA", "cSysVersion", "工业"), setParam("AA", "bProxySell", "TRUE")},
         .sys = "PU",
         .script = "click ComN\ndump\npaste Te33 5\nclick ComE",
         .params = {{"AA", "bProxySell", "FALSE"}},
         .controls = {{"Ch32", "enabled", false}, {"Ch32", "value", 0}}});
    s.append({.name = "PU month derived from payables",
              .setup = {setParam("AP", "dAPStartDate", "2001-6-1")},
              .sys = "PU",
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"PU", "dPUStartDate", "2001-6-1"}},
              .controls = {{"Te33", "enabled", false},
                           {"Te33", "backColor", "&H00C0C0C0"},
                           {"Te33", "text", "6"}}});

    // SA
    s.append({.name = "SA without foreign currency",
              .setup = {setParam("AA", "bFrgnCurrencyacc", "FALSE"),
                        setParam("SA", "bExchange", "TRUE")},
              .script = "click ComN\ndump\npaste Te43 4\nclick ComE",
              .params = {{"SA", "bExchange", "FALSE"}},
              .controls = {{"Ch41", "value", 0}, {"Ch41", "enabled", false}}});
    s.append(
        {.name = "SA password from cDefault",
         .setup = {"update AccInformation set cValue='', cDefault='TRUE' where cName='bCredit'",
                   "update AccInformation set cValue='stored', cDefault='fallback' where "
                   "cName='cCreditPwd'"},
         .script = "click ComN\npaste Te43 4\nclick ComE",
         .params = {{"SA", "cCreditPwd", "fallback"}}});
    s.append({.name = "SA credit off empties the password",
              .setup = {setParam("SA", "bCredit", "FALSE"), setParam("SA", "cCreditPwd", "old")},
              .script = "click ComN\ndump\npaste Te43 4\nclick ComE",
              .params = {{"SA", "bCredit", "FALSE"}, {"SA", "cCreditPwd", ""}},
              .controls = {{"Te41", "text", ""}}});
    s.append({.name = "SA hidden dispatch survives",
              .setup = {setParam("SA", "bDispatch", "TRUE")},
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .params = {{"SA", "bDispatch", "TRUE"}}});
    s.append({.name = "SA all switches",
              .script = "click ComN\nclick Ch41\nclick Ch42\nclick Ch43\nclick Ch44\n"
                        "click Ch46\nclick Ch47\nclick Ch48\npaste Te43 4\nclick ComE",
              .params = {{"SA", "bExchange", "TRUE"},
                         {"AA", "bCommitSell", "TRUE"},
                         {"SA", "bSaleDaily", "TRUE"},
                         {"SA", "bSaleMove", "TRUE"},
                         {"SA", "bOverOrder", "TRUE"},
                         {"SA", "bSalePrice", "FALSE"},
                         {"SA", "bPlanMoney", "FALSE"},
                         {"SA", "dSaleStartDate", "2001-4-1"},
                         {"SA", "dStartDate", "2001-04-01"}},
              .sql = {{"select bpri_check from GL_mend where iperiod=0", 1},
                      {"select count(*) from GL_mend where iperiod=0", 1}}});
    s.append({.name = "SA creates the period-0 row",
              .setup = {"delete from GL_mend where iperiod=0"},
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .sql = {{"select bpri_check from GL_mend where iperiod=0", 1}}});
    s.append({.name = "SA month derived from receivables",
              .setup = {setParam("AR", "dARStartDate", "2001-2-1")},
              .script = "click ComN\ndump\nclick ComE",
              .params = {{"SA", "dSaleStartDate", "2001-2-1"}},
              .controls = {{"Te43", "enabled", false}, {"Te43", "backColor", "&H00C0C0C0"}}});
    s.append({.name = "SA without a period row fails and rolls back",
              .setup = {"delete from zxsystem.ua_period where iId=4"},
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .exit = 1,
              .unchanged = true});
    s.append({.name = "SA with a Null begin date fails and rolls back",
              .setup = {"update zxsystem.ua_period set dBegin=NULL where iId=4"},
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .exit = 1,
              .unchanged = true});
    s.append({.name = "SA with a begin date that is not a date fails",
              .setup = {"update zxsystem.ua_period set dBegin='soon' where iId=4"},
              .script = "click ComN\npaste Te43 4\nclick ComE",
              .exit = 1,
              .unchanged = true,
              .notOnServer = "the server's date column refuses a text that is not a date"});
    s.append({.name = "SA Null password fails the call",
              .setup = {setParam("SA", "bCredit", "TRUE"), setParamNull("SA", "cCreditPwd")},
              .exit = 4,
              .unchanged = true,
              .errorContains = "cCreditPwd"});

    // IA: choices mapped by table, never by caption.
    const struct {
        const char* name;
        QString setup;
        const char* selected;
        const char* param;
        const char* written;
    } choices[] = {
        {"by department", setParam("IA", "cValueStyle", "按部门核算"), "Op52", "cValueStyle",
         "按部门核算"},
        {"unknown basis", setParam("IA", "cValueStyle", "按库房"), "Op52", "cValueStyle",
         "按部门核算"},
        {"empty basis takes the default", setParam("IA", "cValueStyle", ""), "Op51", "cValueStyle",
         "按仓库核算"},
        {"caption is not a stored text", setParam("IA", "cZero", "上次入库成本价"), "Op56", "cZero",
         "上次出库成本"},
        {"balance cost", setParam("IA", "cZero", "结存成本"), "Op58", "cZero", "结存成本"},
        {"estimate", setParam("IA", "cEstimate", "单到补差"), "Op55", "cEstimate", "单到补差"},
        {"plan", setParam("IA", "cPlan", "分类加存货"), "Op516", "cPlan", "分类加存货"},
    };
    for (const auto& c : choices)
        s.append({.name = QStringLiteral("IA %1").arg(c.name),
                  .setup = {c.setup},
                  .sys = "IA",
                  .script = "dump\nclick ComN\npaste Te55 2\nclick ComE",
                  .params = {{"IA", c.param, QString::fromUtf8(c.written)},
                             {"IA", "dIAStartDate", "2001-2-1"}},
                  .controls = {{c.selected, "value", true}}});
    s.append({.name = "IA department plan by table",
              .sys = "IA",
              .script = "click ComN\nclick Op52\nclick Op514\npaste Te55 6\nclick ComE",
              .params = {{"IA", "cValueStyle", "按部门核算"}, {"IA", "cPlan", "仓库加分类"}}});
    s.append({.name = "IA moves the ST start date",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"),
                        setParam("IA", "dIAStartDate", "2001-6-1")},
              .sys = "IA",
              .script = "click ComN\nclick ComE",
              .params = {{"IA", "dIAStartDate", "2001-6-1"}, {"ST", "dSTStartDate", "2001-6-1"}}});
    s.append({.name = "IA leaves ST after its opening period closed",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"),
                        setParam("IA", "dIAStartDate", "2001-6-1"),
                        "update GL_mend set bflag_IA=1 where iperiod=0"},
              .sys = "IA",
              .script = "click ComN\nclick ComE",
              .params = {{"ST", "dSTStartDate", "2001-1-1"}}});
    return s;
}

QList<Scenario> startPeriodScenarios() {
    QList<Scenario> s;
    const QString disagree = QStringLiteral("各系统结账月不一致，本模块不能建账");
    s.append({.name = "SA after PU in March",
              .setup = {setParam("PU", "dPUStartDate", "2001-3-1")},
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Te43", "text", "3"}, {"Te43", "enabled", false}}});
    s.append({.name = "IA after GL with nothing closed",
              .setup = {setParam("GL", "dGLStartDate", "2001-1-1")},
              .sys = "IA",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Te55", "text", "1"}}});
    s.append({.name = "IA after GL with months 1 to 3 closed",
              .setup = {setParam("GL", "dGLStartDate", "2001-1-1"), closeMonths("bflag", 1, 3)},
              .sys = "IA",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Te55", "text", "4"}}});
    s.append({.name = "PU after ST with January and February closed",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"), closeMonths("bflag_ST", 1, 2)},
              .sys = "PU",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Te33", "text", "3"}}});
    s.append({.name = "ST in 3 and PU in 4 disagree",
              .setup = {setParam("ST", "dSTStartDate", "2001-3-1"),
                        setParam("PU", "dPUStartDate", "2001-4-1")},
              .script = "dump\nclose",
              .exit = 2,
              .messages = {disagree},
              .unchanged = true});
    s.append({.name = "PU walk reaches the first open month",
              .setup = {setParam("PU", "dPUStartDate", "2001-1-1"), closeMonths("bflag_PU", 1, 5)},
              .sys = "ST",
              .script = "dump\nclose",
              .exit = 3,
              .controls = {{"Te26", "text", "6"}}});
    const struct {
        const char* flag;
        const char* message;
    } decembers[] = {
        {"bflag_ST", "库存系统12月已结账，本模块本年度不能启用"},
        {"bflag_PU", "采购系统12月已结账，本模块本年度不能启用"},
        {"bflag_SA", "销售系统12月已结账，本模块本年度不能启用"},
        {"bflag_IA", "存货系统12月已结账，本模块本年度不能启用"},
    };
    for (const auto& d : decembers)
        for (const char* sys : {"ST", "PU", "SA", "IA"})
            s.append({.name = QStringLiteral("%1 December closed refuses %2").arg(d.flag, sys),
                      .setup = {setParam("GL", "dGLStartDate", "2001-1-1"),
                                setParam("AP", "dAPStartDate", "2001-1-1"),
                                setParam("AR", "dARStartDate", "2001-1-1"),
                                setParam(QString(sys) == "ST" ? "PU" : "ST",
                                         QString(sys) == "ST" ? "dPUStartDate" : "dSTStartDate",
                                         "2001-1-1"),
                                closeMonths(d.flag, 12, 12)},
                      .sys = sys,
                      .script = "dump\nclose",
                      .exit = 2,
                      .messages = {QString::fromUtf8(d.message)},
                      .unchanged = true});
    s.append({.name = "ST without an open month refuses silently",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"), closeMonths("bflag_ST", 1, 11),
                        "update GL_mend set bflag_ST=NULL where iperiod=12"},
              .sys = "SA",
              .script = "dump\nclose",
              .exit = 2,
              .unchanged = true});
    s.append({.name = "GL without an open month refuses silently",
              .setup = {setParam("GL", "dGLStartDate", "2001-1-1"), closeMonths("bflag", 1, 11),
                        "update GL_mend set bflag=NULL where iperiod=12",
                        "update GL_mend set bflag=1 where iperiod=11"},
              .sys = "IA",
              .script = "dump\nclose",
              .exit = 2,
              .unchanged = true});
    s.append({.name = "a start date that is not a date fails the call",
              .setup = {setParam("ST", "dSTStartDate", "soon")},
              .sys = "SA",
              .exit = 4,
              .unchanged = true,
              .errorContains = "dSTStartDate"});
    s.append({.name = "GL_mend without December fails the call",
              .setup = {setParam("PU", "dPUStartDate", "2001-3-1"),
                        "delete from GL_mend where iperiod=12"},
              .exit = 4,
              .unchanged = true,
              .errorContains = "GL_mend"});
    s.append({.name = "a Null start date does not count",
              .setup = {setParamNull("PU", "dPUStartDate")},
              .script = "click ComN\ndump\nclose",
              .exit = 3,
              .controls = {{"Te43", "enabled", true}}});
    return s;
}

void addRows(const QList<Scenario>& scenarios) {
    QTest::addColumn<Scenario>("scenario");
    for (const Scenario& s : scenarios)
        QTest::newRow(qPrintable(s.name)) << s;
}

}  // namespace

class TestParameters : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void common_data() { addRows(commonGroupScenarios()); }
    void common() { play(); }
    void optionRules_data() { addRows(optionRuleScenarios()); }
    void optionRules() { play(); }
    void groups_data() { addRows(groupScenarios()); }
    void groups() { play(); }
    void startPeriod_data() { addRows(startPeriodScenarios()); }
    void startPeriod() { play(); }

private:
    void play() {
        QFETCH(Scenario, scenario);
        runScenario(scenario);
    }
};

QTEST_GUILESS_MAIN(TestParameters)
#include "tst_parameters.moc"
