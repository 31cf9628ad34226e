// Inventory management (ST) on page Fra2.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "vb/Vb.h"
#include "window/Main.h"

namespace zx::wizard {

namespace {

// The year as this routine has always found it: 11 characters on from the
// first "zxdata" of the connection text, whatever the case.
QString yearOfConnectString(db::HostDatabase& DB) {
    const QString text = DB.ConnectString();
    return vb::Mid(text, vb::InStr(vb::UCase(text), QStringLiteral("ZXDATA")) + 11, 4);
}

}  // namespace

void Wizard::LoadStockParameters(db::HostDatabase& DB) {
    ui::Main& main = WBAS::MainForm();
    ui::MainControls& c = main.ui();
    ParameterReader r(DB);
    c.Ch14->setEnabled(true);
    setCheck(main, c.Ch21, r.checkValue(ST::bBatch));
    setCheck(main, c.Ch22, r.checkValue(ST::bQuality));
    setCheck(main, c.Ch23, r.checkValue(ST::bTrans));
    setCheck(main, c.Ch24, r.checkValue(ST::bAssmble));
    setCheck(main, c.Ch25, r.checkValue(ST::bSTcontrol));
    LoadStartMonth(DB, r, ST::dSTStartDate, c.Te26, 1, 0);
    setCheck(main, c.Ch27, r.checkValue(ST::bSAcreat));
}

void Wizard::SaveStockParameters(db::HostDatabase& DB) {
    const ui::MainControls& c = WBAS::MainForm().ui();
    writeSwitch(DB, ST::bBatch, c.Ch21);
    writeSwitch(DB, ST::bQuality, c.Ch22);
    writeSwitch(DB, ST::bTrans, c.Ch23);
    writeSwitch(DB, ST::bAssmble, c.Ch24);
    writeSwitch(DB, ST::bSTcontrol, c.Ch25);

    writeText(DB, ST::dSTStartDate, startDateText(yearOfConnectString(DB), c.Te26->text()));

    // Inventory accounting follows the new start month until it has closed
    // its opening period.
    if (singleValue(DB, IA::dIAStartDate).hasText() &&
        !WBAS::IsPeriodClosed(DB, 0, QStringLiteral("ST"))) {
        writeText(DB, IA::dIAStartDate, startDateText(yearOfConnectString(DB), c.Te26->text()));
    }
    writeSwitch(DB, ST::bSAcreat, c.Ch27);
}

}  // namespace zx::wizard
