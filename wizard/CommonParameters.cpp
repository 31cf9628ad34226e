// The common parameters (cSysID AA) on page 1.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "window/Main.h"

namespace zx::wizard {

void Wizard::LoadCommonParameters(db::HostDatabase& DB) {
    ui::Main& main = WBAS::MainForm();
    ui::MainControls& c = main.ui();
    ParameterReader r(DB);
    setCheck(main, c.Ch11, r.checkValue(AA::bStrsAuxUnit));
    setCheck(main, c.Ch12, r.checkValue(AA::bFlotEmerge));
    setCheck(main, c.Ch13, r.checkValue(AA::bAuxFitMgr));
    if (r.checkValue(AA::bRemote) == 1) {
        setCheck(main, c.Ch14, 1);
        r.find(AA::cID);
        c.Te11->setText(r.value().toText(QStringLiteral("AA cID")));
    } else {
        setCheck(main, c.Ch14, 0);
    }
    setCheck(main, c.Ch15, r.checkValue(AA::bGoodClass));
    setCheck(main, c.Ch16, r.checkValue(AA::bCustClass));
    setCheck(main, c.Ch17, r.checkValue(AA::bProvClass));
    setCheck(main, c.Ch18, r.checkValue(AA::lFixed));
}

namespace {

// Switching classification off on an empty class table creates the one
// default class "00" and its single-level coding rule.
void saveClassification(db::HostDatabase& DB, const ui::CheckBox* box, const Param& flag,
                        const QString& insertClass, const Param& grade, const QString& keyword) {
    if (box->value() == 1) {
        writeSwitch(DB, flag, true);
        return;
    }
    if (ui::tag(box) == QLatin1String("Y")) {
        DB.Execute(insertClass + QStringLiteral(" Values ('00','无级次',1)"));
        writeText(DB, grade, QStringLiteral("2"));
        DB.Execute(QStringLiteral("Update GradeDef set CODINGRULE='2' Where KEYWORD='") + keyword +
                   QLatin1Char('\''));
    }
    writeSwitch(DB, flag, false);
}

}  // namespace

void Wizard::SaveCommonParameters(db::HostDatabase& DB) {
    const ui::MainControls& c = WBAS::MainForm().ui();
    writeSwitch(DB, AA::bStrsAuxUnit, c.Ch11);
    if (c.Ch12->value() == 1) {
        writeSwitch(DB, AA::bFlotEmerge, true);
        writeSwitch(DB, SA::bOverStock, true);
    } else {
        writeSwitch(DB, AA::bFlotEmerge, false);
        writeSwitch(DB, SA::bOverStock, false);
        writeText(DB, SA::cOverStockPwd, QString());
    }
    writeSwitch(DB, AA::bAuxFitMgr, c.Ch13);

    const auto fixed = DB.OpenRecordset(QStringLiteral("select * from AccInformation Where ") +
                                        criterionOf(AA::lFixed));
    if (fixed->Bof() && fixed->Eof()) {
        DB.Execute(QStringLiteral(
            "insert into AccInformation "
            "(cSysID,cID,cName,cCaption,cType,cValue,cDefault,bVisible,bEnable) "
            "values ('AA','45','lFixed','是否固定换算率','Boolean','FALSE','FALSE',0,0)"));
    }
    writeSwitch(DB, AA::lFixed, c.Ch18);

    if (c.Ch14->value() == 1) {
        writeSwitch(DB, AA::bRemote, true);
        writeText(DB, AA::cID, c.Te11->text());
    } else {
        writeSwitch(DB, AA::bRemote, false);
        writeText(DB, AA::cID, QString());
    }

    saveClassification(
        DB, c.Ch15, AA::bGoodClass,
        QStringLiteral("Insert Into InventoryClass (cInvCCode,cInvCName,iInvCGrade)"),
        AA::cGoodClass, QStringLiteral("inventoryclass"));
    saveClassification(DB, c.Ch16, AA::bCustClass,
                       QStringLiteral("Insert Into CustomerClass (cCCCode,cCCName,iCCGrade)"),
                       AA::cCustClass, QStringLiteral("customerclass"));
    saveClassification(DB, c.Ch17, AA::bProvClass,
                       QStringLiteral("Insert Into VendorClass (cVCCode,cVCName,iVCGrade)"),
                       AA::cProvClass, QStringLiteral("vendorclass"));
}

}  // namespace zx::wizard
