// Inventory management (ST) on page Fra2.

#include "AccountName.h"
#include "AccountQueries.h"
#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"

namespace zx::wizard {

namespace {

constexpr SwitchBox Switches[] = {{ST::bBatch, "Ch21"},
                                  {ST::bQuality, "Ch22"},
                                  {ST::bTrans, "Ch23"},
                                  {ST::bAssmble, "Ch24"},
                                  {ST::bSTcontrol, "Ch25"}};
constexpr SwitchBox SalesIssues{ST::bSAcreat, "Ch27"};

}  // namespace

void LoadStockParameters(const Subsystem& self, GroupContext& g) {
    ParameterReader r(g.DB, &g.run.shown);
    g.model.setEnabled(QStringLiteral("Ch14"), true);
    for (const SwitchBox& s : Switches)
        loadSwitch(r, g.model, s);
    LoadStartMonth(self, r, g);
    loadSwitch(r, g.model, SalesIssues);
}

void SaveStockParameters(const Subsystem& self, GroupContext& g) {
    db::HostDatabase& DB = g.DB;
    for (const SwitchBox& s : Switches)
        saveSwitch(DB, g.model, s);

    // This save has always read the year from ConnectString its own way.
    const QString month = g.model.text(QString::fromLatin1(self.monthBox));
    writeText(DB, self.startDate, startDateText(yearAfterZxdata(DB.ConnectString()), month));

    // Inventory accounting follows the new start month until it has closed
    // its opening period.
    if (singleValue(DB, IA::dIAStartDate).hasText() &&
        !AccountQueries(DB).IsPeriodClosed(0, QString::fromLatin1(self.code))) {
        writeText(DB, IA::dIAStartDate, startDateText(yearAfterZxdata(DB.ConnectString()), month));
    }
    saveSwitch(DB, g.model, SalesIssues);
}

}  // namespace zx::wizard
