// The wizard's logic without a window: what each load decides, the rows each
// save writes, the start-period checks, the guards' queries and the input
// checks. Each row a starting account, what the user leaves in the window,
// and what the loads decide and the saves write.

#include "Scenario.h"
#include "TestAccount.h"
#include "core/Error.h"
#include "dbkit/TransactionGuard.h"
#include "wizard/AccountName.h"
#include "wizard/AccountQueries.h"
#include "wizard/InputChecks.h"
#include "wizard/ParameterGroups.h"
#include "wizard/SetupModel.h"

#include <QTest>

using namespace zx::wizard;

namespace {

// One fact about a control: property value, text, enabled or backColor,
// with no value when the property must stay undecided; "untouched" when
// nothing may be decided about the control.
struct Is {
    QString control;
    QString property;
    QVariant value = {};
};

struct Row {
    QString name;
    QStringList setup;
    QString sys = QStringLiteral("XX");
    QList<Is> loaded;          // what the loads decide
    std::int16_t mode = 0;     // the StartCheckMode they leave
    QString derived;           // with a mode: the month, or "refused"
    QString refusal;           // the refusal's message
    QList<Is> user;            // what the user leaves at Finish
    QList<ParamCheck> params;  // the rows after the save
    QList<SqlCheck> sql;
    QString fails;        // a word of the error that fails the load or the save
    QString notOnServer;  // why the row cannot run on the server
};

Is value(const char* control, int v) {
    return {control, "value", v};
}
Is text(const char* control, const QString& t) {
    return {control, "text", t};
}
Is enabled(const char* control, bool on) {
    return {control, "enabled", on};
}
Is untouched(const char* control) {
    return {control, "untouched"};
}

const QStringList OptionGroups[] = {
    {"Op51", "Op52"},
    {"Op53", "Op54", "Op55"},
    {"Op56", "Op57", "Op58", "Op59", "Op510"},
    {"Op511", "Op512", "Op513", "Op514", "Op515", "Op516"},
};

// What a newly loaded form holds: nothing ticked, no text, the first option
// of each group selected.
SetupModel freshForm() {
    SetupModel m;
    const QString checks = QStringLiteral(
        "Ch11 Ch12 Ch13 Ch14 Ch15 Ch16 Ch17 Ch18 Ch21 Ch22 Ch23 Ch24 Ch25 Ch27 Ch31 Ch32 Ch41 "
        "Ch42 Ch43 Ch44 Ch45 Ch46 Ch47 Ch48 Ch49 Ch410");
    for (const QString& name : checks.split(QLatin1Char(' ')))
        m.setCheck(name, 0);
    for (const char* name : {"Te11", "Te26", "Te33", "Te41", "Te42", "Te43", "Te55"})
        m.setText(QLatin1String(name), QString());
    for (const QStringList& group : OptionGroups)
        for (const QString& option : group)
            m.select(option, option == group.first());
    return m;
}

// As the window sets a control; selecting an option clears its group.
void setState(SetupModel& m, const QString& name, const ControlState& s) {
    if (s.value && name.startsWith(QLatin1String("Op"))) {
        for (const QStringList& group : OptionGroups)
            if (group.contains(name) && *s.value != 0)
                for (const QString& other : group)
                    m.select(other, false);
        m.select(name, *s.value != 0);
    } else if (s.value)
        m.setCheck(name, *s.value);
    if (s.text)
        m.setText(name, *s.text);
    if (s.tag)
        m.setTag(name, *s.tag);
}

QVariant actual(const SetupModel& m, const Is& e) {
    const ControlState s = m.state(e.control);
    auto of = [](const auto& optional) {
        return optional ? QVariant::fromValue(*optional) : QVariant();
    };
    if (e.property == QLatin1String("value"))
        return of(s.value);
    if (e.property == QLatin1String("text"))
        return of(s.text);
    if (e.property == QLatin1String("enabled"))
        return of(s.enabled);
    if (e.property == QLatin1String("backColor"))
        return of(s.backColor);
    qFatal("no property %s", qPrintable(e.property));
}

void play(const Row& row) {
    if (TestAccount::onServer() && !row.notOnServer.isEmpty())
        QSKIP(qPrintable(row.notOnServer));
    TestAccount account;
    for (const QString& sql : row.setup)
        account.exec(sql);
    const QString before = account.dump();
    auto db = account.open();
    SetupModel loaded;
    RunState run{.AccountId = QStringLiteral("001"), .AccountYear = QStringLiteral("2001")};
    GroupContext loading{*db, loaded, run};
    const Subsystem* subsystem = subsystemOf(row.sys);
    try {
        LoadCommonParameters(loading);
        if (subsystem)
            subsystem->load(*subsystem, loading);
    } catch (const zx::Error& error) {
        QVERIFY2(!row.fails.isEmpty() && error.message().contains(row.fails),
                 qPrintable(error.message()));
        return;
    }
    for (const Is& e : row.loaded) {
        if (e.property == QLatin1String("untouched")) {
            QVERIFY2(!loaded.decided().contains(e.control), qPrintable(e.control));
            continue;
        }
        const QVariant is = actual(loaded, e);
        QVERIFY2(
            is.isValid() == e.value.isValid() && is.toString() == e.value.toString(),
            qPrintable(QStringLiteral("%1.%2 is %3").arg(e.control, e.property, is.toString())));
    }
    QCOMPARE(run.StartCheckMode, row.mode);
    if (run.StartCheckMode != 0) {
        const Subsystem& derived = *subsystemOfMode(run.StartCheckMode);
        const StartPeriodVerdict verdict = AccountQueries(*db).CheckStartPeriod(derived);
        QCOMPARE(verdict.month.value_or(QStringLiteral("refused")), row.derived);
        QCOMPARE(verdict.message, row.refusal);
        if (verdict.month)
            loaded.setText(QLatin1String(derived.monthBox), *verdict.month);
    }
    if (row.params.isEmpty() && row.sql.isEmpty() && row.fails.isEmpty())
        return;

    SetupModel finished = freshForm();
    for (const QString& name : loaded.decided())
        setState(finished, name, loaded.state(name));
    for (const Is& u : row.user) {
        ControlState s;
        if (u.property == QLatin1String("value"))
            s.value = u.value.toInt();
        else if (u.property == QLatin1String("text"))
            s.text = u.value.toString();
        else
            s.tag = u.value.toString();
        setState(finished, u.control, s);
    }
    GroupContext saving{*db, finished, run};
    try {
        zx::db::TransactionGuard transaction(*db);
        SaveCommonParameters(saving);
        if (subsystem)
            subsystem->save(*subsystem, saving);
        transaction.commit();
    } catch (const zx::Error& error) {
        QVERIFY2(!row.fails.isEmpty() && error.message().contains(row.fails),
                 qPrintable(error.message()));
        db.reset();
        QCOMPARE(account.dump(), before);
        return;
    }
    QVERIFY2(row.fails.isEmpty(), "the save did not fail");
    for (const ParamCheck& p : row.params) {
        const QVariant is = account.param(p.sys, p.name);
        QVERIFY2(is.isValid() == p.value.isValid() && is.toString() == p.value.toString(),
                 qPrintable(QStringLiteral("%1 %2 is \"%3\"").arg(p.sys, p.name, is.toString())));
    }
    for (const SqlCheck& c : row.sql) {
        const QVariant is = account.value(c.sql);
        QVERIFY2(is.isValid() == c.value.isValid() && is.toString() == c.value.toString(),
                 qPrintable(QStringLiteral("%1 gave \"%2\"").arg(c.sql, is.toString())));
    }
}

QList<Row> commonRows() {
    QList<Row> s;
    const struct {
        const char* name;
        QString setup;
        int value;
    } switches[] = {
        {"true in lower case", setParam("AA", "bStrsAuxUnit", "true"), 1},
        {"1 is not true", setParam("AA", "bStrsAuxUnit", "1"), 0},
        {"TRUE and a blank", setParam("AA", "bStrsAuxUnit", "TRUE "), 0},
        {"empty takes the default",
         "update AccInformation set cValue='', cDefault='TRUE' where cName='bStrsAuxUnit'", 1},
        {"Null takes the default",
         "update AccInformation set cValue=NULL, cDefault='true' where cName='bStrsAuxUnit'", 1},
        {"Null default",
         "update AccInformation set cValue=NULL, cDefault=NULL where cName='bStrsAuxUnit'", 0},
        {"key in other letter case",
         "update AccInformation set cSysID='aa', cName='BSTRSAUXUNIT', cValue='TRUE' where "
         "cName='bStrsAuxUnit'",
         1},
    };
    for (const auto& sw : switches)
        s.append({.name = sw.name, .setup = {sw.setup}, .loaded = {value("Ch11", sw.value)}});

    s.append({.name = "remote off leaves Te11",
              .setup = {setParam("AA", "cID", "42")},
              .loaded = {value("Ch14", 0), untouched("Te11"), {"Ch14", "enabled"}}});
    s.append({.name = "remote and its number from cDefault",
              .setup = {"update AccInformation set cValue='', cDefault='TRUE' where "
                        "cName='bRemote'",
                        "update AccInformation set cValue='', cDefault='42' where cName='cID'"},
              .loaded = {value("Ch14", 1), text("Te11", "42")}});
    s.append({.name = "remote unticked clears cID",
              .setup = {setParam("AA", "bRemote", "TRUE"), setParam("AA", "cID", "07")},
              .loaded = {text("Te11", "07")},
              .user = {value("Ch14", 0)},
              .params = {{"AA", "bRemote", "FALSE"}, {"AA", "cID", ""}}});
    s.append({.name = "zero stock off clears the over-stock password in any run",
              .setup = {setParam("AA", "bFlotEmerge", "TRUE"), setParam("SA", "bOverStock", "TRUE"),
                        setParam("SA", "cOverStockPwd", "x")},
              .sys = "ST",
              .user = {value("Ch12", 0), text("Te26", "2")},
              .params = {{"AA", "bFlotEmerge", "FALSE"},
                         {"SA", "bOverStock", "FALSE"},
                         {"SA", "cOverStockPwd", ""}}});
    s.append({.name = "zero stock on keeps the over-stock password",
              .setup = {setParam("SA", "cOverStockPwd", "x")},
              .user = {value("Ch12", 1)},
              .params = {{"AA", "bFlotEmerge", "TRUE"},
                         {"SA", "bOverStock", "TRUE"},
                         {"SA", "cOverStockPwd", "x"}}});
    s.append({.name = "greyed box is FALSE",
              .setup = {setParam("AA", "bAuxFitMgr", "TRUE")},
              .user = {value("Ch13", 2)},
              .params = {{"AA", "bAuxFitMgr", "FALSE"}}});
    s.append({.name = "missing lFixed row is created",
              .setup = {"delete from AccInformation where cName='lFixed'"},
              .user = {value("Ch11", 1), value("Ch18", 1)},
              .params = {{"AA", "lFixed", "TRUE"}},
              .sql = {{"select count(*) from AccInformation where cName='lFixed'", 1},
                      {"select cID||cCaption||cType||cDefault||bVisible||bEnable from "
                       "AccInformation where cName='lFixed'",
                       "45是否固定换算率BooleanFALSE00"}}});
    s.append({.name = "unclassified on an empty table creates class 00",
              .user = {value("Ch15", 0), {"Ch15", "tag", "Y"}},
              .params = {{"AA", "bGoodClass", "FALSE"}, {"AA", "cGoodClass", "2"}},
              .sql = {{"select cInvCCode||cInvCName||iInvCGrade from InventoryClass", "00无级次1"},
                      {"select CODINGRULE from GradeDef where KEYWORD='inventoryclass'", "2"},
                      {"select CODINGRULE from GradeDef where KEYWORD='customerclass'", "122"}}});
    s.append({.name = "unclassified with Tag N writes the switch only",
              .user = {value("Ch16", 0), {"Ch16", "tag", "N"}},
              .params = {{"AA", "bCustClass", "FALSE"}, {"AA", "cCustClass", ""}},
              .sql = {{"select count(*) from CustomerClass", 0}}});
    s.append({.name = "ticked ignores the Tag",
              .user = {value("Ch17", 1), {"Ch17", "tag", "Y"}},
              .params = {{"AA", "bProvClass", "TRUE"}, {"AA", "cProvClass", ""}},
              .sql = {{"select count(*) from VendorClass", 0}}});
    return s;
}

QList<Row> stockRows() {
    QList<Row> s;
    s.append({.name = "stored month locks the box",
              .setup = {setParam("ST", "dSTStartDate", "2001-11-1")},
              .sys = "ST",
              .loaded = {text("Te26", "11"), enabled("Te26", false), enabled("Ch14", true)},
              .params = {{"ST", "dSTStartDate", "2001-11-1"}}});
    s.append({.name = "month that is not a date",
              .setup = {setParam("ST", "dSTStartDate", "abc")},
              .sys = "ST",
              .loaded = {untouched("Te26")}});
    s.append({.name = "month derived from purchasing",
              .setup = {setParam("PU", "dPUStartDate", "2001-3-1")},
              .sys = "ST",
              .loaded = {enabled("Te26", false), {"Te26", "backColor", 0xC0C0C0}},
              .mode = 1,
              .derived = "3",
              .params = {{"ST", "dSTStartDate", "2001-3-1"}}});
    s.append({.name = "switches and month 03",
              .sys = "ST",
              .user = {value("Ch23", 1), value("Ch25", 1), text("Te26", "03")},
              .params = {{"ST", "bTrans", "TRUE"},
                         {"ST", "bAssmble", "FALSE"},
                         {"ST", "bSTcontrol", "TRUE"},
                         {"ST", "bBatch", "FALSE"},
                         {"ST", "bSAcreat", "TRUE"},
                         {"ST", "dSTStartDate", "2001-03-1"},
                         {"IA", "dIAStartDate", ""}}});
    s.append({.name = "moves the IA start date",
              .setup = {setParam("ST", "dSTStartDate", "2001-4-1"),
                        setParam("IA", "dIAStartDate", "2001-1-1")},
              .sys = "ST",
              .params = {{"ST", "dSTStartDate", "2001-4-1"}, {"IA", "dIAStartDate", "2001-4-1"}}});
    s.append({.name = "leaves IA once ST closed its opening period",
              .setup = {setParam("ST", "dSTStartDate", "2001-4-1"),
                        setParam("IA", "dIAStartDate", "2001-1-1"),
                        "update GL_mend set bflag_ST=1 where iperiod=0"},
              .sys = "ST",
              .params = {{"IA", "dIAStartDate", "2001-1-1"}}});
    return s;
}

QList<Row> purchaseRows() {
    QList<Row> s;
    s.append(
        {.name = "without foreign currency",
         .setup = {setParam("AA", "bFrgnCurrencyacc", "false"), setParam("PU", "bExchange", "TRUE"),
                   setParam("PU", "dPUStartDate", "2001-7-1")},
         .sys = "PU",
         .loaded = {value("Ch31", 0), enabled("Ch31", false), text("Te33", "7"),
                    enabled("Ch14", true)},
         .params = {{"PU", "bExchange", "FALSE"}, {"PU", "dPUStartDate", "2001-7-1"}}});
    s.append({.name = "empty currency flag follows bExchange",
              .setup = {setParam("AA", "bFrgnCurrencyacc", ""),
                        "update AccInformation set cValue='', cDefault='TRUE' where "
                        "cSysID='PU' and cName='bExchange'"},
              .sys = "PU",
              .loaded = {value("Ch31", 1), untouched("Te33")},
              .user = {text("Te33", "5")},
              .params = {{"PU", "bExchange", "TRUE"}, {"PU", "dPUStartDate", "2001-5-1"}}});
    s.append(
        {.name = "industrial edition locks consignment",
         .setup = {setParam("AA", "cSysVersion", "工业"), setParam("AA", "bProxySell", "TRUE")},
         .sys = "PU",
         .loaded = {enabled("Ch32", false), {"Ch32", "value"}},
         .user = {text("Te33", "5")},
         .params = {{"AA", "bProxySell", "FALSE"}}});
    s.append({.name = "month derived from payables",
              .setup = {setParam("AP", "dAPStartDate", "2001-6-1")},
              .sys = "PU",
              .loaded = {enabled("Te33", false)},
              .mode = 2,
              .derived = "6",
              .params = {{"PU", "dPUStartDate", "2001-6-1"}}});
    return s;
}

QList<Row> salesRows() {
    QList<Row> s;
    s.append({.name = "without foreign currency",
              .setup = {setParam("AA", "bFrgnCurrencyacc", "FALSE"),
                        setParam("SA", "bExchange", "TRUE")},
              .sys = "SA",
              .loaded = {value("Ch41", 0), enabled("Ch41", false), enabled("Ch14", true)},
              .user = {text("Te43", "4")},
              .params = {{"SA", "bExchange", "FALSE"}}});
    s.append({.name = "password from cDefault",
              .setup = {"update AccInformation set cValue='', cDefault='TRUE' where "
                        "cName='bCredit'",
                        "update AccInformation set cValue='stored', cDefault='fallback' where "
                        "cName='cCreditPwd'"},
              .sys = "SA",
              .loaded = {value("Ch49", 1), text("Te41", "fallback")}});
    s.append({.name = "credit off empties the password",
              .setup = {setParam("SA", "bCredit", "FALSE"), setParam("SA", "cCreditPwd", "old")},
              .sys = "SA",
              .loaded = {value("Ch49", 0), untouched("Te41")},
              .user = {text("Te43", "4")},
              .params = {{"SA", "bCredit", "FALSE"}, {"SA", "cCreditPwd", ""}}});
    s.append({.name = "passwords stored as typed",
              .sys = "SA",
              .user = {value("Ch49", 1), text("Te41", "it's"), value("Ch410", 1),
                       text("Te42", "a''b\\%口"), text("Te43", "2")},
              .params = {{"SA", "bCredit", "TRUE"},
                         {"SA", "cCreditPwd", "it's"},
                         {"SA", "bLowPrice", "TRUE"},
                         {"SA", "cLowPricePwd", "a''b\\%口"}}});
    s.append({.name = "every switch, the period-0 mark and the begin date",
              .setup = {setParam("SA", "bDispatch", "TRUE")},
              .sys = "SA",
              .user = {value("Ch41", 1), value("Ch42", 1), value("Ch43", 1), value("Ch44", 1),
                       value("Ch46", 1), value("Ch47", 0), value("Ch48", 0), text("Te43", "4")},
              .params = {{"SA", "bExchange", "TRUE"},
                         {"AA", "bCommitSell", "TRUE"},
                         {"SA", "bSaleDaily", "TRUE"},
                         {"SA", "bSaleMove", "TRUE"},
                         {"SA", "bDispatch", "TRUE"},
                         {"SA", "bOverOrder", "TRUE"},
                         {"SA", "bSalePrice", "FALSE"},
                         {"SA", "bPlanMoney", "FALSE"},
                         {"SA", "dSaleStartDate", "2001-4-1"},
                         {"SA", "dStartDate", "2001-04-01"}},
              .sql = {{"select bpri_check from GL_mend where iperiod=0", 1},
                      {"select count(*) from GL_mend where iperiod=0", 1}}});
    s.append({.name = "creates the period-0 row",
              .setup = {"delete from GL_mend where iperiod=0"},
              .sys = "SA",
              .user = {text("Te43", "4")},
              .sql = {{"select bpri_check from GL_mend where iperiod=0", 1}}});
    s.append(
        {.name = "month derived from receivables",
         .setup = {setParam("AR", "dARStartDate", "2001-2-1")},
         .sys = "SA",
         .loaded = {enabled("Te43", false), {"Te43", "backColor", 0xC0C0C0}},
         .mode = 3,
         .derived = "2",
         .params = {{"SA", "dSaleStartDate", "2001-2-1"}, {"SA", "dStartDate", "2001-02-01"}}});
    const struct {
        const char* name;
        QString damage;
        const char* fails;
        const char* notOnServer;
    } periods[] = {
        {"no period row", "delete from zxsystem.ua_period where iId=4", "dBegin", ""},
        {"a Null begin date", "update zxsystem.ua_period set dBegin=NULL where iId=4", "dBegin",
         ""},
        {"a begin date that is not a date",
         "update zxsystem.ua_period set dBegin='soon' where iId=4", "soon",
         "the server's date column refuses a text that is not a date"},
    };
    for (const auto& p : periods)
        s.append({.name = QStringLiteral("save fails on %1").arg(p.name),
                  .setup = {p.damage},
                  .sys = "SA",
                  .user = {text("Te43", "4")},
                  .fails = p.fails,
                  .notOnServer = p.notOnServer});
    s.append({.name = "a Null password fails the load",
              .setup = {setParam("SA", "bCredit", "TRUE"), setParamNull("SA", "cCreditPwd")},
              .sys = "SA",
              .fails = "cCreditPwd"});
    return s;
}

QList<Row> inventoryAccountingRows() {
    QList<Row> s;
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
        {"estimate", setParam("IA", "cEstimate", "单到补差"), "Op55", "cEstimate", "单到补差"},
        {"estimate from cDefault",
         "update AccInformation set cValue=NULL, cDefault='单到回冲' where cName='cEstimate'",
         "Op54", "cEstimate", "单到回冲"},
        {"balance cost", setParam("IA", "cZero", "结存成本"), "Op58", "cZero", "结存成本"},
        {"plan", setParam("IA", "cPlan", "分类加存货"), "Op516", "cPlan", "分类加存货"},
    };
    for (const auto& c : choices)
        s.append({.name = c.name,
                  .setup = {c.setup},
                  .sys = "IA",
                  .loaded = {value(c.selected, 1), enabled("Ch14", true)},
                  .user = {text("Te55", "2")},
                  .params = {{"IA", c.param, QString::fromUtf8(c.written)},
                             {"IA", "dIAStartDate", "2001-2-1"}}});
    s.append({.name = "a caption is not a stored text",
              .setup = {setParam("IA", "cZero", "上次入库成本价")},
              .sys = "IA",
              .loaded = {untouched("Op56"), untouched("Op59")},
              .user = {text("Te55", "2")},
              .params = {{"IA", "cZero", "上次出库成本"}}});
    s.append({.name = "department plan by table, not caption",
              .sys = "IA",
              .user = {value("Op52", 1), value("Op514", 1), text("Te55", "6")},
              .params = {{"IA", "cValueStyle", "按部门核算"}, {"IA", "cPlan", "仓库加分类"}}});
    s.append({.name = "moves the ST start date",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"),
                        setParam("IA", "dIAStartDate", "2001-6-1")},
              .sys = "IA",
              .params = {{"IA", "dIAStartDate", "2001-6-1"}, {"ST", "dSTStartDate", "2001-6-1"}}});
    s.append({.name = "leaves ST once IA closed its opening period",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"),
                        setParam("IA", "dIAStartDate", "2001-6-1"),
                        "update GL_mend set bflag_IA=1 where iperiod=0"},
              .sys = "IA",
              .params = {{"ST", "dSTStartDate", "2001-1-1"}}});
    return s;
}

QList<Row> startPeriodRows() {
    QList<Row> s;
    const QString disagree = QStringLiteral("各系统结账月不一致，本模块不能建账");
    const QString pu3 = setParam("PU", "dPUStartDate", "2001-3-1");
    const QString gl1 = setParam("GL", "dGLStartDate", "2001-1-1");
    s.append(
        {.name = "SA after PU in March", .setup = {pu3}, .sys = "SA", .mode = 3, .derived = "3"});
    s.append({.name = "IA after GL with nothing closed",
              .setup = {gl1},
              .sys = "IA",
              .mode = 4,
              .derived = "1"});
    s.append({.name = "IA after GL with months 1 to 3 closed",
              .setup = {gl1, closeMonths("bflag", 1, 3)},
              .sys = "IA",
              .mode = 4,
              .derived = "4"});
    s.append({.name = "IA: the ledger stands after its last closing",
              .setup = {gl1, closeMonths("bflag", 2, 3)},
              .sys = "IA",
              .mode = 4,
              .derived = "4"});
    s.append({.name = "IA after PU, the ledger not started",
              .setup = {pu3},
              .sys = "IA",
              .mode = 4,
              .derived = "3"});
    s.append({.name = "PU after ST with January and February closed",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"), closeMonths("bflag_ST", 1, 2)},
              .sys = "PU",
              .mode = 2,
              .derived = "3"});
    s.append({.name = "ST in 3 and PU in 4 disagree",
              .setup = {setParam("ST", "dSTStartDate", "2001-3-1"),
                        setParam("PU", "dPUStartDate", "2001-4-1")},
              .sys = "SA",
              .mode = 3,
              .derived = "refused",
              .refusal = disagree});
    s.append({.name = "SA after receivables in 2 and PU in 3 disagree",
              .setup = {pu3, setParam("AR", "dARStartDate", "2001-2-1")},
              .sys = "SA",
              .mode = 3,
              .derived = "refused",
              .refusal = disagree});
    s.append({.name = "the PU walk reaches the first open month",
              .setup = {setParam("PU", "dPUStartDate", "2001-1-1"), closeMonths("bflag_PU", 1, 5)},
              .sys = "ST",
              .mode = 1,
              .derived = "6"});
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
                      .setup = {setParam(QString(sys) == "ST" ? "PU" : "ST",
                                         QString(sys) == "ST" ? "dPUStartDate" : "dSTStartDate",
                                         "2001-1-1"),
                                closeMonths(d.flag, 12, 12)},
                      .sys = sys,
                      .mode = subsystemOf(QLatin1String(sys))->mode,
                      .derived = "refused",
                      .refusal = QString::fromUtf8(d.message)});
    s.append({.name = "ST without an open month refuses silently",
              .setup = {setParam("ST", "dSTStartDate", "2001-1-1"), closeMonths("bflag_ST", 1, 11),
                        "update GL_mend set bflag_ST=NULL where iperiod=12"},
              .sys = "SA",
              .mode = 3,
              .derived = "refused"});
    s.append({.name = "the ledger without an open month refuses silently",
              .setup = {gl1, closeMonths("bflag", 1, 11),
                        "update GL_mend set bflag=NULL where iperiod=12"},
              .sys = "IA",
              .mode = 4,
              .derived = "refused"});
    s.append({.name = "a Null start date does not count",
              .setup = {setParamNull("PU", "dPUStartDate")},
              .sys = "SA",
              .loaded = {untouched("Te43")}});
    s.append({.name = "no start date anywhere leaves the month open",
              .setup = {setParam("AP", "dAPStartDate", "2001-2-1")},
              .sys = "SA",
              .loaded = {untouched("Te43")}});
    return s;
}

void addRows(const QList<Row>& rows) {
    QTest::addColumn<int>("index");
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(qPrintable(rows[i].name)) << i;
}

// Start-period rows that fail the call rather than refuse: checked apart,
// since the refusal and the month are never reached.
void startPeriodFails(const QStringList& setup, const QString& sys, const QString& word) {
    TestAccount account;
    for (const QString& sql : setup)
        account.exec(sql);
    auto db = account.open();
    try {
        AccountQueries(*db).CheckStartPeriod(*subsystemOf(sys));
        QFAIL("the check did not fail");
    } catch (const zx::Error& error) {
        QVERIFY2(error.message().contains(word), qPrintable(error.message()));
    }
}

}  // namespace

class TestModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void common_data() { addRows(commonRows()); }
    void common() { playRow(commonRows()); }
    void stock_data() { addRows(stockRows()); }
    void stock() { playRow(stockRows()); }
    void purchase_data() { addRows(purchaseRows()); }
    void purchase() { playRow(purchaseRows()); }
    void sales_data() { addRows(salesRows()); }
    void sales() { playRow(salesRows()); }
    void inventoryAccounting_data() { addRows(inventoryAccountingRows()); }
    void inventoryAccounting() { playRow(inventoryAccountingRows()); }
    void startPeriod_data() { addRows(startPeriodRows()); }
    void startPeriod() { playRow(startPeriodRows()); }

    void startPeriodFailsOnBadData() {
        startPeriodFails({setParam("ST", "dSTStartDate", "soon")}, "SA", "dSTStartDate");
        startPeriodFails(
            {setParam("PU", "dPUStartDate", "2001-3-1"), "delete from GL_mend where iperiod=12"},
            "SA", "GL_mend");
    }

    // The guards' questions, with and without the data that refuses a change.
    void guards() {
        for (const ExistingDataGuard& guard : existingDataGuards()) {
            TestAccount account;
            account.exec(
                "insert into Inventory (cInvCode,cInvA_Unit,bAccessary,bInvBatch,bInvQuality,"
                "bInvEntrust) values ('0','',0,0,0,0)");
            auto db = account.open();
            QVERIFY2(!AccountQueries(*db).hasDataFor(guard), guard.box);
        }
        const QStringList users = {"insert into Inventory (cInvCode,cInvA_Unit) values ('1','条')",
                                   "insert into Inventory (cInvCode,bAccessary) values ('1',1)",
                                   "insert into Inventory (cInvCode,bInvBatch) values ('1',1)",
                                   "insert into Inventory (cInvCode,bInvQuality) values ('1',-1)",
                                   "insert into Inventory (cInvCode,bInvEntrust) values ('1',1)"};
        for (size_t i = 0; i < existingDataGuards().size(); ++i) {
            TestAccount account;
            account.exec(users[int(i)]);
            auto db = account.open();
            QVERIFY2(AccountQueries(*db).hasDataFor(existingDataGuards()[i]),
                     existingDataGuards()[i].box);
        }
    }

    void classificationGuard_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << QStringList{} << "Y" << false;
        QTest::newRow("only the default class") << QStringList{"00"} << "N" << false;
        QTest::newRow("one other class") << QStringList{"01"} << "N" << true;
        QTest::newRow("the default and another") << QStringList{"00", "01"} << "N" << true;
    }
    void classificationGuard() {
        QFETCH(QStringList, codes);
        QFETCH(QString, tag);
        QFETCH(bool, refused);
        for (const Classification& kind : classifications()) {
            TestAccount account;
            for (const QString& code : codes)
                account.exec(QStringLiteral("insert into %1 values ('%2','x',1)")
                                 .arg(QLatin1String(kind.table), code));
            auto db = account.open();
            const ClassificationVerdict verdict = AccountQueries(*db).classification(kind);
            QCOMPARE(verdict.tag, tag);
            QCOMPARE(verdict.refused, refused);
        }
    }

    void departmentCheck_data() {
        QTest::addColumn<QStringList>("warehouses");  // department, valuation
        QTest::addColumn<bool>("alike");
        QTest::newRow("no warehouse") << QStringList{} << true;
        QTest::newRow("one method each")
            << QStringList{"D1", "先进先出法", "D1", "先进先出法", "D2", "全月平均法"} << true;
        QTest::newRow("two methods in one department")
            << QStringList{"D1", "先进先出法", "D2", "全月平均法", "D2", "先进先出法"} << false;
        QTest::newRow("a quote in the code") << QStringList{"D'1", "a", "D'1", "b"} << false;
    }
    void departmentCheck() {
        QFETCH(QStringList, warehouses);
        QFETCH(bool, alike);
        TestAccount account;
        for (int i = 0; i < warehouses.size(); i += 2)
            account.exec(QStringLiteral("insert into Warehouse (cWhCode,cDepCode,cWhValueStyle) "
                                        "values ('%1','%2','%3')")
                             .arg(i)
                             .arg(QString(warehouses[i]).replace("'", "''"), warehouses[i + 1]));
        auto db = account.open();
        QCOMPARE(AccountQueries(*db).departmentsValueAlike(), alike);
    }

    void inputChecks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("remote");  // Entry for the remote number
        QTest::addColumn<int>("month");   // Entry for a start month
        const int V = int(Entry::Valid), M = int(Entry::Missing), I = int(Entry::Invalid);
        QTest::newRow("empty") << "" << M << M;
        QTest::newRow("0") << "0" << I << I;
        QTest::newRow("00") << "00" << V << I;
        QTest::newRow("1") << "1" << I << V;
        QTest::newRow("7 and a blank") << "7 " << V << V;
        QTest::newRow("12") << "12" << V << V;
        QTest::newRow("13") << "13" << V << I;
        QTest::newRow("99") << "99" << V << I;
        QTest::newRow("-1") << "-1" << I << I;
        QTest::newRow("3.5") << "3.5" << I << I;
        QTest::newRow("1e1") << "1e1" << I << I;
        QTest::newRow("ab") << "ab" << I << I;
    }
    void inputChecks() {
        QFETCH(QString, text);
        QFETCH(int, remote);
        QFETCH(int, month);
        QCOMPARE(int(checkRemoteId(text)), remote);
        QCOMPARE(int(checkStartMonth(text, 2001)), month);
    }

    // The two ways the account year is read, pinned where they differ.
    void accountName_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("entryYear");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("stockYear");
        QTest::newRow("name first") << "Database=ZXDATA_001_2001;Data Source={/a/b.db}"
                                    << "2001"
                                    << "001"
                                    << "2001";
        QTest::newRow("lower case") << "Database=zxdata_A7x_1999"
                                    << "1999"
                                    << "A7x"
                                    << "1999";
        QTest::newRow("a zxdata folder before the name") << "Data Source=/zxdata/ZXDATA_001_2001.db"
                                                         << "2001"
                                                         << "001"
                                                         << "TA_0";
        QTest::newRow("no ZXDATA_") << "Data Source=/tmp/account.db"
                                    << "e=/t"
                                    << "our"
                                    << "e=/t";
        QTest::newRow("ends early") << "x=ZXDATA_00"
                                    << ""
                                    << "00"
                                    << "";
    }
    void accountName() {
        QFETCH(QString, connection);
        QFETCH(QString, entryYear);
        QFETCH(QString, account);
        QFETCH(QString, stockYear);
        QCOMPARE(yearAfterZxdataUnderscore(connection), entryYear);
        QCOMPARE(accountAfterZxdataUnderscore(connection), account);
        QCOMPARE(yearAfterZxdata(connection), stockYear);
    }

    void passwordsShownMasked() {
        QCOMPARE(shownParameterValue("cCreditPwd", "s3cret"), QStringLiteral("***"));
        QCOMPARE(shownParameterValue("cLowPricePwd", "x"), QStringLiteral("***"));
        QCOMPARE(shownParameterValue("cOverStockPwd", ""), QString());
        QCOMPARE(shownParameterValue("cID", "07"), QStringLiteral("07"));
    }

private:
    void playRow(const QList<Row>& rows) {
        QFETCH(int, index);
        play(rows[index]);
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
