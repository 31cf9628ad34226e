// Purchasing (PU) on page Fra3.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "vb/Vb.h"
#include "window/Main.h"

namespace zx::wizard {

void Wizard::LoadPurchaseParameters(db::HostDatabase& DB) {
    ui::Main& main = WBAS::MainForm();
    ui::MainControls& c = main.ui();
    ParameterReader r(DB);
    c.Ch14->setEnabled(true);

    loadForeignCurrencyBox(main, r, c.Ch31, PU::bExchange);

    // The industrial edition has no consignment-in business.
    r.find(AA::cSysVersion);
    if (r.cValue().textOrEmpty() == QStringLiteral("工业")) {
        c.Ch32->setEnabled(false);
    } else {
        setCheck(main, c.Ch32, r.checkValue(AA::bProxySell));
    }

    LoadStartMonth(DB, r, PU::dPUStartDate, c.Te33, 2, 2);
}

void Wizard::SavePurchaseParameters(db::HostDatabase& DB) {
    const ui::MainControls& c = WBAS::MainForm().ui();
    writeSwitch(DB, PU::bExchange, c.Ch31);
    writeSwitch(DB, AA::bProxySell, c.Ch32);
    writeText(DB, PU::dPUStartDate, startDateText(AccountYear, c.Te33->text()));
}

}  // namespace zx::wizard
