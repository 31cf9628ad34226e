// The common parameters (cSysID AA) on page 1.

#include "AccountQueries.h"
#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"

namespace zx::wizard {

namespace {

constexpr SwitchBox AuxUnits{AA::bStrsAuxUnit, "Ch11"};
constexpr SwitchBox ZeroStock{AA::bFlotEmerge, "Ch12"};
constexpr SwitchBox Kits{AA::bAuxFitMgr, "Ch13"};
constexpr SwitchBox FixedRate{AA::lFixed, "Ch18"};
const QString Remote = QStringLiteral("Ch14");
const QString RemoteId = QStringLiteral("Te11");

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// Switching classification off on an empty class table creates the one
// default class "00" and its single-level coding rule. The guard saw the
// table empty before the transaction; another run may have filled it since,
// so it is asked again here, inside the transaction.
void saveClassification(db::HostDatabase& DB, const SetupModel& m, const Classification& c) {
    const QString box = latin(c.box);
    if (m.ticked(box)) {
        writeSwitch(DB, c.flag, true);
        return;
    }
    if (m.tag(box) == QLatin1String("Y") &&
        AccountQueries(DB).classification(c).tag == QLatin1String("Y")) {
        DB.Execute(QStringLiteral("Insert Into %1 (%2,%3,%4)")
                       .arg(latin(c.table), latin(c.codeColumn), latin(c.nameColumn),
                            latin(c.gradeColumn)) +
                   QStringLiteral(" Values ('00','无级次',1)"));
        writeText(DB, c.grade, QStringLiteral("2"));
        DB.Execute(QStringLiteral("Update GradeDef set CODINGRULE='2' Where KEYWORD='") +
                   latin(c.keyword) + QLatin1Char('\''));
    }
    writeSwitch(DB, c.flag, false);
}

}  // namespace

void LoadCommonParameters(GroupContext& g) {
    SetupModel& m = g.model;
    ParameterReader r(g.DB, &g.run.shown);
    for (const SwitchBox& s : {AuxUnits, ZeroStock, Kits})
        loadSwitch(r, m, s);
    if (r.checkValue(AA::bRemote) == 1) {
        m.setCheck(Remote, 1);
        r.find(AA::cID);
        m.setStoredText(RemoteId, r.value(), nameOf(AA::cID));
    } else {
        m.setCheck(Remote, 0);  // the identifier box keeps what it holds
    }
    for (const Classification& c : classifications())
        loadSwitch(r, m, {c.flag, c.box});
    loadSwitch(r, m, FixedRate);
}

void SaveCommonParameters(GroupContext& g) {
    db::HostDatabase& DB = g.DB;
    const SetupModel& m = g.model;
    saveSwitch(DB, m, AuxUnits);
    // Zero-stock issues decide the sales over-stock rows, whatever the run.
    if (m.ticked(latin(ZeroStock.box))) {
        writeSwitch(DB, ZeroStock.param, true);
        writeSwitch(DB, SA::bOverStock, true);
    } else {
        writeSwitch(DB, ZeroStock.param, false);
        writeSwitch(DB, SA::bOverStock, false);
        writeText(DB, SA::cOverStockPwd, QString());
    }
    saveSwitch(DB, m, Kits);

    const auto fixed = DB.OpenRecordset(QStringLiteral("select * from AccInformation Where ") +
                                        criterionOf(AA::lFixed));
    if (fixed->Bof() && fixed->Eof()) {
        DB.Execute(QStringLiteral(
            "insert into AccInformation "
            "(cSysID,cID,cName,cCaption,cType,cValue,cDefault,bVisible,bEnable) "
            "values ('AA','45','lFixed','是否固定换算率','Boolean','FALSE','FALSE',0,0)"));
    }
    saveSwitch(DB, m, FixedRate);

    if (m.ticked(Remote)) {
        writeSwitch(DB, AA::bRemote, true);
        writeBox(DB, AA::cID, m, RemoteId);
    } else {
        writeSwitch(DB, AA::bRemote, false);
        writeText(DB, AA::cID, QString());
    }

    for (const Classification& c : classifications())
        saveClassification(DB, m, c);
}

}  // namespace zx::wizard
