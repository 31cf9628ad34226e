// Purchasing (PU) on page Fra3.

#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"

namespace zx::wizard {

namespace {

constexpr SwitchBox Exchange{PU::bExchange, "Ch31"};
constexpr SwitchBox ConsignmentIn{AA::bProxySell, "Ch32"};

}  // namespace

void LoadPurchaseParameters(const Subsystem& self, GroupContext& g) {
    SetupModel& m = g.model;
    ParameterReader r(g.DB, &g.run.shown);
    m.setEnabled(QStringLiteral("Ch14"), true);

    loadForeignCurrencyBox(r, m, Exchange);

    // The industrial edition has no consignment-in business.
    r.find(AA::cSysVersion);
    if (r.cValue().textOrEmpty() == QStringLiteral("工业"))
        m.setEnabled(QString::fromLatin1(ConsignmentIn.box), false);
    else
        loadSwitch(r, m, ConsignmentIn);

    LoadStartMonth(self, r, g);
}

void SavePurchaseParameters(const Subsystem& self, GroupContext& g) {
    saveSwitch(g.DB, g.model, Exchange);
    saveSwitch(g.DB, g.model, ConsignmentIn);
    writeText(g.DB, self.startDate,
              startDateText(g.run.AccountYear, g.model.text(QString::fromLatin1(self.monthBox))));
}

}  // namespace zx::wizard
