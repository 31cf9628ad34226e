// The wizard's logic without a window: what each load decides, the rows each
// save writes, the start-period checks, the guards' queries and the input
// checks, on SQLite and on the PostgreSQL server. (The department check is
// played through the window in tst_run.)

#include "Story.h"
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

// A row: "name: story", the story telling in words (see Story.h) the
// starting account and what follows:
//   on SYS       the subsystem set up (any other code: the common page only)
//   sql "S"      statements run on the account first
//   given        parameters set first: AA.cID=07, AA.cID.cDefault=42, AA.cID=NULL
//   decides      what the loads decide: Ch11=1 (value of a box or option),
//                Te26=11 (text), Te26.enabled=0, Te26.grey, -Te11 (nothing
//                decided about it), -Ch32.value (no value decided)
//   starts       StartCheckMode>month, or >refused
//   refusal      the refusal's message
//   user         what the user leaves in the window: Ch14=0 Te26=2 Ch15.tag=Y
//   writes       cValue after the save: AA.cID=07 (AA.cID= is the empty text)
//   rows         "a query=its first value" after the save
//   fails        a word of the error that fails the load, the check or the save
//   sqlite       why the row runs on the embedded database only
const QStringList Keywords{"on",   "sql",    "given", "decides", "starts", "refusal",
                           "user", "writes", "rows",  "fails",   "sqlite"};

const QStringList OptionGroups[] = {
    {"Op51", "Op52"},
    {"Op53", "Op54", "Op55"},
    {"Op56", "Op57", "Op58", "Op59", "Op510"},
    {"Op511", "Op512", "Op513", "Op514", "Op515", "Op516"},
};

QStringList facts(const QString& text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// As the window sets a control; selecting an option clears its group.
void set(SetupModel& m, const QString& name, const QString& value) {
    if (name.endsWith(QLatin1String(".tag"))) {
        m.setTag(name.chopped(4), value);
    } else if (name.startsWith(QLatin1String("Te"))) {
        m.setText(name, value);
    } else if (name.startsWith(QLatin1String("Op"))) {
        for (const QStringList& group : OptionGroups)
            if (group.contains(name) && value == QLatin1String("1"))
                for (const QString& other : group)
                    m.select(other, false);
        m.select(name, value == QLatin1String("1"));
    } else {
        m.setCheck(name, value.toInt());
    }
}

// What a newly loaded form holds: nothing ticked, no text, the first option
// of each group selected.
SetupModel freshForm() {
    SetupModel m;
    for (const QString& name :
         facts("Ch11 Ch12 Ch13 Ch14 Ch15 Ch16 Ch17 Ch18 Ch21 Ch22 Ch23 Ch24 Ch25 Ch27 Ch31 Ch32 "
               "Ch41 Ch42 Ch43 Ch44 Ch45 Ch46 Ch47 Ch48 Ch49 Ch410 Te11 Te26 Te33 Te41 Te42 Te43 "
               "Te55"))
        set(m, name, QString());
    for (const QStringList& group : OptionGroups)
        set(m, group.first(), QStringLiteral("1"));
    return m;
}

void checkDecided(const SetupModel& m, const QString& fact) {
    const bool absent = fact.startsWith(QLatin1Char('-'));
    const QString left = fact.section(QLatin1Char('='), 0, 0).mid(absent ? 1 : 0);
    const QString control = left.section(QLatin1Char('.'), 0, 0);
    QString property = left.section(QLatin1Char('.'), 1);
    if (absent && property.isEmpty()) {
        QVERIFY2(!m.decided().contains(control), qPrintable(fact));
        return;
    }
    const ControlState s = m.state(control);
    if (property.isEmpty())
        property = control.startsWith(QLatin1String("Te")) ? "text" : "value";
    QString is = QStringLiteral("(none)");
    if (property == QLatin1String("value") && s.value)
        is = QString::number(*s.value);
    else if (property == QLatin1String("text") && s.text)
        is = *s.text;
    else if (property == QLatin1String("enabled") && s.enabled)
        is = QString::number(*s.enabled);
    else if (property == QLatin1String("grey") && s.backColor == 0xC0C0C0u)
        is = QString();
    const QString expected = absent ? QStringLiteral("(none)") : fact.section(QLatin1Char('='), 1);
    QVERIFY2(is == expected, qPrintable(fact + QStringLiteral(": ") + is));
}

void play(const QString& row) {
    const Story story(row.section(QStringLiteral(": "), 1), Keywords);
    if (TestAccount::onServer() && story.has("sqlite"))
        QSKIP(qPrintable(story.first("sqlite")));
    const QString fails = story["fails"].join(' ');
    TestAccount account;
    for (const QString& sql : story["sql"])
        account.exec(sql);
    account.given(story["given"]);
    const QString before = account.dump();
    auto db = account.open();
    SetupModel loaded;
    RunState run{.AccountId = QStringLiteral("001"), .AccountYear = QStringLiteral("2001")};
    GroupContext loading{*db, loaded, run};
    const Subsystem* subsystem = subsystemOf(story.first("on"));
    auto failsAsExpected = [&](const zx::Error& error) {
        QVERIFY2(!fails.isEmpty() && error.message().contains(fails), qPrintable(error.message()));
        db.reset();
        QCOMPARE(account.dump(), before);
    };
    try {
        LoadCommonParameters(loading);
        if (subsystem)
            subsystem->load(*subsystem, loading);
    } catch (const zx::Error& error) {
        return failsAsExpected(error);
    }
    for (const QString& fact : story["decides"])
        checkDecided(loaded, fact);
    const QString starts = story.first("starts");
    const QString mode = starts.section(QLatin1Char('>'), 0, 0);
    QCOMPARE(run.StartCheckMode, std::int16_t(mode.toInt()));
    if (run.StartCheckMode != 0) {
        const Subsystem& derived = *subsystemOfMode(run.StartCheckMode);
        StartPeriodVerdict verdict;
        try {
            verdict = AccountQueries(*db).CheckStartPeriod(derived);
        } catch (const zx::Error& error) {
            return failsAsExpected(error);
        }
        QCOMPARE(verdict.month.value_or(QStringLiteral("refused")), starts.section('>', 1));
        QCOMPARE(verdict.message, story.first("refusal"));
        if (verdict.month)
            loaded.setText(QLatin1String(derived.monthBox), *verdict.month);
    }
    if (!story.has("writes") && !story.has("rows") && fails.isEmpty())
        return;

    SetupModel finished = freshForm();
    for (const QString& name : loaded.decided()) {
        const ControlState s = loaded.state(name);
        if (s.value || s.text)
            set(finished, name, s.text ? *s.text : QString::number(*s.value));
    }
    for (const QString& fact : story["user"])
        set(finished, fact.section(QLatin1Char('='), 0, 0), fact.section(QLatin1Char('='), 1));
    GroupContext saving{*db, finished, run};
    try {
        zx::db::TransactionGuard transaction(*db);
        SaveCommonParameters(saving);
        if (subsystem)
            subsystem->save(*subsystem, saving);
        transaction.commit();
    } catch (const zx::Error& error) {
        return failsAsExpected(error);
    }
    QVERIFY2(fails.isEmpty(), "the save did not fail");
    for (const QString& fact : story["writes"] + story["rows"]) {
        const auto [key, expected] = keyAndValue(fact);
        const QString is =
            key.contains(' ')
                ? account.value(key).toString()
                : account.param(key.section('.', 0, 0), key.section('.', 1)).toString();
        QVERIFY2(is == expected, qPrintable(fact + QStringLiteral(": ") + is));
    }
}

const QStringList CommonRows = {
    "true in lower case: on XX given AA.bStrsAuxUnit=true decides Ch11=1",
    "1 is not true: on XX given AA.bStrsAuxUnit=1 decides Ch11=0",
    "TRUE and a blank: on XX given \"AA.bStrsAuxUnit=TRUE \" decides Ch11=0",
    "empty takes cDefault: given AA.bStrsAuxUnit= AA.bStrsAuxUnit.cDefault=TRUE decides Ch11=1",
    "Null takes cDefault: given AA.bStrsAuxUnit=NULL AA.bStrsAuxUnit.cDefault=true decides Ch11=1",
    "Null cDefault: given AA.bStrsAuxUnit=NULL AA.bStrsAuxUnit.cDefault=NULL decides Ch11=0",
    "a stored key in another letter case: sql \"update AccInformation set cSysID='aa', "
    "cName='BSTRSAUXUNIT', cValue='TRUE' where cName='bStrsAuxUnit'\" decides Ch11=1",
    "remote off leaves Te11: on XX given AA.cID=42 decides Ch14=0 -Te11 -Ch14.enabled",
    "remote and its number from cDefault: given AA.bRemote= AA.bRemote.cDefault=TRUE AA.cID= "
    "AA.cID.cDefault=42 decides Ch14=1 Te11=42",
    "remote unticked clears cID: given AA.bRemote=TRUE AA.cID=07 decides Te11=07 user Ch14=0 "
    "writes AA.bRemote=FALSE AA.cID=",
    "zero stock off clears the over-stock password in any run: on ST given AA.bFlotEmerge=TRUE "
    "SA.cOverStockPwd=x user Ch12=0 Te26=2 writes AA.bFlotEmerge=FALSE SA.bOverStock=FALSE "
    "SA.cOverStockPwd=",
    "zero stock on keeps the over-stock password: given SA.cOverStockPwd=x user Ch12=1 "
    "writes AA.bFlotEmerge=TRUE SA.bOverStock=TRUE SA.cOverStockPwd=x",
    "a greyed box is FALSE: given AA.bAuxFitMgr=TRUE decides Ch13=1 user Ch13=2 "
    "writes AA.bAuxFitMgr=FALSE",
    "a missing lFixed row is created: sql \"delete from AccInformation where cName='lFixed'\" "
    "user Ch11=1 Ch18=1 writes AA.lFixed=TRUE rows \"select cID||cCaption||cType||cDefault||"
    "bVisible||bEnable from AccInformation where cName='lFixed'=45是否固定换算率BooleanFALSE00\"",
    "unclassified with Tag Y creates class 00: user Ch15=0 Ch15.tag=Y writes AA.bGoodClass=FALSE "
    "AA.cGoodClass=2 rows \"select cInvCCode||cInvCName||iInvCGrade from "
    "InventoryClass=00无级次1\" "
    "\"select CODINGRULE from GradeDef where KEYWORD='inventoryclass'=2\" "
    "\"select CODINGRULE from GradeDef where KEYWORD='customerclass'=122\"",
    "Tag Y, but another run created the class first: sql \"insert into InventoryClass values "
    "('00','无级次',1)\" user Ch15=0 Ch15.tag=Y writes AA.bGoodClass=FALSE AA.cGoodClass= rows "
    "\"select count(*) from InventoryClass=1\" "
    "\"select CODINGRULE from GradeDef where KEYWORD='inventoryclass'=122\"",
    "unclassified with Tag N writes the switch only: user Ch16=0 Ch16.tag=N "
    "writes AA.bCustClass=FALSE AA.cCustClass= rows \"select count(*) from CustomerClass=0\"",
    "unclassified with no Tag writes the switch only: user Ch16=0 writes AA.bCustClass=FALSE "
    "AA.cCustClass= rows \"select count(*) from CustomerClass=0\"",
    "ticked ignores the Tag: user Ch17=1 Ch17.tag=Y writes AA.bProvClass=TRUE AA.cProvClass= "
    "rows \"select count(*) from VendorClass=0\"",
};

QStringList pageRows() {
    const QString period4 =
        QStringLiteral("sql \"update zxsystem.ua_period set dBegin=%1 where iId=4\"");
    QStringList s = {
        "ST stored month locks the box: on ST given ST.dSTStartDate=2001-11-1 decides Te26=11 "
        "Te26.enabled=0 Ch14.enabled=1 writes ST.dSTStartDate=2001-11-1",
        "ST month that is not a date: on ST given ST.dSTStartDate=abc decides -Te26",
        "ST month derived from purchasing: on ST given PU.dPUStartDate=2001-3-1 decides "
        "Te26.enabled=0 Te26.grey starts 1>3 writes ST.dSTStartDate=2001-3-1",
        "ST switches and month 03: on ST user Ch23=1 Ch25=1 Te26=03 writes ST.bTrans=TRUE "
        "ST.bAssmble=FALSE ST.bSTcontrol=TRUE ST.bBatch=FALSE ST.bSAcreat=TRUE "
        "ST.dSTStartDate=2001-03-1 IA.dIAStartDate=",
        "ST moves the IA start date: on ST given ST.dSTStartDate=2001-4-1 IA.dIAStartDate=2001-1-1 "
        "writes IA.dIAStartDate=2001-4-1",
        "ST leaves IA once it closed its opening period: on ST sql \"update GL_mend set bflag_ST=1 "
        "where iperiod=0\" given ST.dSTStartDate=2001-4-1 IA.dIAStartDate=2001-1-1 "
        "writes IA.dIAStartDate=2001-1-1",

        "PU without foreign currency: on PU given AA.bFrgnCurrencyacc=false PU.bExchange=TRUE "
        "PU.dPUStartDate=2001-7-1 decides Ch31=0 Ch31.enabled=0 Te33=7 Ch14.enabled=1 "
        "writes PU.bExchange=FALSE PU.dPUStartDate=2001-7-1",
        "PU empty currency flag follows bExchange: on PU given AA.bFrgnCurrencyacc= PU.bExchange= "
        "PU.bExchange.cDefault=TRUE decides Ch31=1 -Ch31.enabled -Te33 user Te33=5 "
        "writes PU.bExchange=TRUE PU.dPUStartDate=2001-5-1",
        "PU industrial edition locks consignment: on PU given AA.cSysVersion=工业 "
        "AA.bProxySell=TRUE decides Ch32.enabled=0 -Ch32.value user Te33=5 "
        "writes AA.bProxySell=FALSE",
        "PU month derived from payables: on PU given AP.dAPStartDate=2001-6-1 decides "
        "Te33.enabled=0 starts 2>6 writes PU.dPUStartDate=2001-6-1",

        "SA without foreign currency: on SA given AA.bFrgnCurrencyacc=FALSE SA.bExchange=TRUE "
        "decides Ch41=0 Ch41.enabled=0 Ch14.enabled=1 user Te43=4 writes SA.bExchange=FALSE",
        "SA password from cDefault: on SA given SA.bCredit= SA.bCredit.cDefault=TRUE "
        "SA.cCreditPwd=stored SA.cCreditPwd.cDefault=fallback decides Ch49=1 Te41=fallback",
        "SA credit off empties the password: on SA given SA.bCredit=FALSE SA.cCreditPwd=old "
        "decides Ch49=0 -Te41 user Te43=4 writes SA.bCredit=FALSE SA.cCreditPwd=",
        "SA passwords stored as typed: on SA user Ch49=1 Te41=it's Ch410=1 Te42=a''b\\%口 Te43=2 "
        "writes SA.bCredit=TRUE SA.cCreditPwd=it's SA.bLowPrice=TRUE SA.cLowPricePwd=a''b\\%口",
        "SA every switch, a new period-0 row and the begin date: on SA sql \"delete from GL_mend "
        "where iperiod=0\" given SA.bDispatch=TRUE user Ch41=1 Ch42=1 Ch43=1 Ch44=1 Ch46=1 "
        "Ch47=0 Ch48=0 Te43=4 writes SA.bExchange=TRUE AA.bCommitSell=TRUE SA.bSaleDaily=TRUE "
        "SA.bSaleMove=TRUE SA.bDispatch=TRUE SA.bOverOrder=TRUE SA.bSalePrice=FALSE "
        "SA.bPlanMoney=FALSE SA.dSaleStartDate=2001-4-1 SA.dStartDate=2001-04-01 "
        "rows \"select count(*) from GL_mend where iperiod=0 and bpri_check=1=1\"",
        "SA marks an existing period-0 row: on SA user Te43=4 rows \"select count(*) from GL_mend "
        "where iperiod=0 and bpri_check=1=1\" \"select count(*) from GL_mend where iperiod=0=1\"",
        "SA month derived from receivables: on SA given AR.dARStartDate=2001-2-1 decides "
        "Te43.enabled=0 Te43.grey starts 3>2 writes SA.dSaleStartDate=2001-2-1 "
        "SA.dStartDate=2001-02-01",
        "SA save fails without a period row: on SA sql \"delete from zxsystem.ua_period where "
        "iId=4\" user Te43=4 fails dBegin",
        "SA save fails on a Null begin date: on SA " + period4.arg("NULL") +
            " user Te43=4 fails dBegin",
        "SA save fails on a begin date that is not a date: on SA " + period4.arg("'soon'") +
            " user Te43=4 fails soon sqlite \"the server's date column refuses a text that is "
            "not a date\"",
        "SA load fails on a Null password: on SA given SA.bCredit=TRUE SA.cCreditPwd=NULL "
        "fails cCreditPwd",

        "IA a caption is not a stored text: on IA given IA.cZero=上次入库成本价 decides -Op56 "
        "-Op59 "
        "Ch14.enabled=1 user Te55=2 writes IA.cZero=上次出库成本 IA.dIAStartDate=2001-2-1",
        "IA moves the ST start date: on IA given ST.dSTStartDate=2001-1-1 "
        "IA.dIAStartDate=2001-6-1 writes IA.dIAStartDate=2001-6-1 ST.dSTStartDate=2001-6-1",
        "IA leaves ST once it closed its opening period: on IA sql \"update GL_mend set bflag_IA=1 "
        "where iperiod=0\" given ST.dSTStartDate=2001-1-1 IA.dIAStartDate=2001-6-1 "
        "writes ST.dSTStartDate=2001-1-1",
    };
    // A stored choice selects its option, and is written back as selected.
    for (const char* choice :
         {"cValueStyle=按部门核算 Op52 cValueStyle=按部门核算",
          "cValueStyle=按库房 Op52 cValueStyle=按部门核算",
          "cValueStyle= Op51 cValueStyle=按仓库核算", "cEstimate=单到补差 Op55 cEstimate=单到补差",
          "cEstimate=NULL IA.cEstimate.cDefault=单到回冲 Op54 cEstimate=单到回冲",
          "cZero=结存成本 Op58 cZero=结存成本", "cPlan=分类加存货 Op516 cPlan=分类加存货"}) {
        const QStringList w = QString::fromUtf8(choice).split(' ');
        s << QStringLiteral("IA %1: on IA given IA.%2 decides %3=1 user Te55=2 writes IA.%1")
                 .arg(w.last(), w.mid(0, w.size() - 2).join(' '), w[w.size() - 2]);
    }
    return s;
}

QStringList startPeriodRows() {
    const QString disagree = QStringLiteral(" refusal 各系统结账月不一致，本模块不能建账");
    const QString closed =
        QStringLiteral(" sql \"update GL_mend set %1=1 where iperiod between %2 and %3\"");
    QStringList s = {
        "SA after PU in March: on SA given PU.dPUStartDate=2001-3-1 starts 3>3",
        "IA after the ledger with nothing closed: on IA given GL.dGLStartDate=2001-1-1 starts 4>1",
        "IA after the ledger closed 1 to 3: on IA given GL.dGLStartDate=2001-1-1 starts 4>4" +
            closed.arg("bflag").arg(1).arg(3),
        "IA, the ledger standing after its last closing: on IA given GL.dGLStartDate=2001-1-1 "
        "starts 4>4" +
            closed.arg("bflag").arg(2).arg(3),
        "IA after PU, the ledger not started: on IA given PU.dPUStartDate=2001-3-1 starts 4>3",
        "PU after ST closed January and February: on PU given ST.dSTStartDate=2001-1-1 starts 2>3" +
            closed.arg("bflag_ST").arg(1).arg(2),
        "the PU walk reaches the first open month: on ST given PU.dPUStartDate=2001-1-1 "
        "starts 1>6" +
            closed.arg("bflag_PU").arg(1).arg(5),
        "ST in 3 and PU in 4 disagree: on SA given ST.dSTStartDate=2001-3-1 "
        "PU.dPUStartDate=2001-4-1 starts 3>refused" +
            disagree,
        "receivables in 2 and PU in 3 disagree: on SA given PU.dPUStartDate=2001-3-1 "
        "AR.dARStartDate=2001-2-1 starts 3>refused" +
            disagree,
        "ST without an open month refuses silently: on SA given ST.dSTStartDate=2001-1-1 starts "
        "3>refused" +
            closed.arg("bflag_ST").arg(1).arg(11) +
            " \"update GL_mend set bflag_ST=NULL where iperiod=12\"",
        "the ledger without an open month refuses silently: on IA given GL.dGLStartDate=2001-1-1 "
        "starts 4>refused" +
            closed.arg("bflag").arg(1).arg(11) +
            " \"update GL_mend set bflag=NULL where iperiod=12\"",
        "a Null start date does not count: on SA given PU.dPUStartDate=NULL decides -Te43",
        "payables count for PU only: on SA given AP.dAPStartDate=2001-2-1 decides -Te43",
        "a start date that is not a date fails: on SA given ST.dSTStartDate=soon starts 3> "
        "fails dSTStartDate",
        "GL_mend without December fails: on SA sql \"delete from GL_mend where iperiod=12\" "
        "given PU.dPUStartDate=2001-3-1 starts 3> fails GL_mend",
    };
    const char* const closedDecember[] = {
        "库存系统12月已结账，本模块本年度不能启用", "采购系统12月已结账，本模块本年度不能启用",
        "销售系统12月已结账，本模块本年度不能启用", "存货系统12月已结账，本模块本年度不能启用"};
    for (int k = 0; k < 4; ++k) {
        const QString flag = QString::fromLatin1(subsystems()[k].flag);
        for (const Subsystem& set : subsystems())
            s << QStringLiteral("%1 refuses %2: on %2 given %3 starts %4>refused refusal %5")
                         .arg(flag, QLatin1String(set.code),
                              set.mode == 1 ? "PU.dPUStartDate=2001-3-1"
                                            : "ST.dSTStartDate=2001-1-1")
                         .arg(set.mode)
                         .arg(QString::fromUtf8(closedDecember[k])) +
                     closed.arg(flag).arg(12).arg(12);
    }
    return s;
}

void addRows(const QStringList& rows) {
    QTest::addColumn<QString>("row");
    for (const QString& row : rows)
        QTest::newRow(qPrintable(row.section(QStringLiteral(": "), 0, 0))) << row;
}

}  // namespace

class TestModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void common_data() { addRows(CommonRows); }
    void common() { playRow(); }
    void pages_data() { addRows(pageRows()); }
    void pages() { playRow(); }
    void startPeriod_data() { addRows(startPeriodRows()); }
    void startPeriod() { playRow(); }

    // The guards' questions, with and without the data that refuses a change.
    void guards() {
        const char* const users[] = {"cInvA_Unit='条'", "bAccessary=1", "bInvBatch=1",
                                     "bInvQuality=-1", "bInvEntrust=1"};
        QCOMPARE(existingDataGuards().size(), std::size(users));
        TestAccount account;
        account.exec(
            "insert into Inventory (cInvCode,cInvA_Unit,bAccessary,bInvBatch,"
            "bInvQuality,bInvEntrust) values ('0','',0,0,0,0)");
        auto db = account.open();
        for (size_t i = 0; i < std::size(users); ++i) {
            AccountQueries queries(*db);
            QVERIFY(!queries.hasDataFor(existingDataGuards()[i]));
            account.exec(QStringLiteral("update Inventory set %1").arg(users[i]));
            QVERIFY2(queries.hasDataFor(existingDataGuards()[i]), users[i]);
            account.exec(
                "update Inventory set cInvA_Unit='', bAccessary=0, bInvBatch=0, "
                "bInvQuality=0, bInvEntrust=0");
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
        QTest::newRow("another and the default") << QStringList{"01", "00"} << "N" << true;
        QTest::newRow("three classes") << QStringList{"00", "01", "02"} << "N" << true;
    }
    void classificationGuard() {
        QFETCH(QStringList, codes);
        QFETCH(QString, tag);
        QFETCH(bool, refused);
        TestAccount account;
        for (const Classification& kind : classifications())
            for (const QString& code : codes)
                account.exec(QStringLiteral("insert into %1 values ('%2','x',1)")
                                 .arg(QLatin1String(kind.table), code));
        auto db = account.open();
        for (const Classification& kind : classifications()) {
            const ClassificationVerdict verdict = AccountQueries(*db).classification(kind);
            QCOMPARE(verdict.tag, tag);
            QCOMPARE(verdict.refused, refused);
        }
    }

    void inputChecks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("remote");  // what Next makes of it as the remote number
        QTest::addColumn<int>("month");   // what Finish makes of it as a start month
        const int V = int(Entry::Valid), M = int(Entry::Missing), I = int(Entry::Invalid);
        const struct {
            const char* text;
            int remote, month;
        } rows[] = {{"", M, M},   {"0", I, I},   {"00", V, I},  {"1", I, V},
                    {"7 ", V, V}, {"12", V, V},  {"13", V, I},  {"99", V, I},
                    {"-1", I, I}, {"3.5", I, I}, {"1e1", I, I}, {"ab", I, I}};
        for (const auto& r : rows)
            QTest::newRow(r.text) << QString::fromLatin1(r.text) << r.remote << r.month;
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
        QTest::addColumn<QString>("cuts");  // entry year, account, inventory save's year
        QTest::newRow("name first") << "Database=ZXDATA_001_2001;Data Source={/a/b.db}"
                                    << "2001 001 2001";
        QTest::newRow("lower case") << "Database=zxdata_A7x_1999"
                                    << "1999 A7x 1999";
        QTest::newRow("a zxdata folder before the name") << "Data Source=/zxdata/ZXDATA_001_2001.db"
                                                         << "2001 001 TA_0";
        QTest::newRow("no ZXDATA_") << "Data Source=/tmp/account.db"
                                    << "e=/t our e=/t";
        QTest::newRow("ends early") << "x=ZXDATA_00"
                                    << " 00 ";
    }
    void accountName() {
        QFETCH(QString, connection);
        QFETCH(QString, cuts);
        QCOMPARE(
            QStringList({yearAfterZxdataUnderscore(connection),
                         accountAfterZxdataUnderscore(connection), yearAfterZxdata(connection)})
                .join(' '),
            cuts);
    }

    void passwordsShownMasked() {
        QCOMPARE(shownParameterValue("cCreditPwd", "s3cret"), QStringLiteral("***"));
        QCOMPARE(shownParameterValue("cOverStockPwd", ""), QString());
        QCOMPARE(shownParameterValue("cID", "07"), QStringLiteral("07"));
    }

private:
    void playRow() {
        QFETCH(QString, row);
        play(row);
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
