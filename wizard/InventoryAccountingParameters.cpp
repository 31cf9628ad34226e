// Inventory accounting (IA) on page Fra5: four choices made with option
// groups, mapped to their stored texts by table, never by caption.

#include "AccountQueries.h"
#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"

#include <span>

namespace zx::wizard {

namespace {

struct Choice {
    const char* option;
    const char* stored;
};

constexpr Choice Bases[] = {{"Op51", "按仓库核算"}, {"Op52", "按部门核算"}};
constexpr Choice Estimates[] = {{"Op53", "月初回冲"}, {"Op54", "单到回冲"}, {"Op55", "单到补差"}};
constexpr Choice ZeroCosts[] = {{"Op56", "上次出库成本"},
                                {"Op57", "参考成本"},
                                {"Op58", "结存成本"},
                                {"Op59", "上次入库成本"},
                                {"Op510", "手工输入"}};
constexpr Choice Plans[] = {{"Op511", "仓库"},       {"Op512", "存货分类"},
                            {"Op513", "存货"},       {"Op514", "仓库加分类"},
                            {"Op515", "仓库加存货"}, {"Op516", "分类加存货"}};

struct ChoiceGroup {
    Param param;
    std::span<const Choice> choices;
    // Chosen when the stored text matches none; none: the group keeps its selection.
    const Choice* otherwise;
};

// Anything but by-warehouse is by department.
const ChoiceGroup Groups[] = {{IA::cValueStyle, Bases, &Bases[1]},
                              {IA::cEstimate, Estimates, nullptr},
                              {IA::cZero, ZeroCosts, nullptr},
                              {IA::cPlan, Plans, nullptr}};

}  // namespace

void LoadInventoryAccountingParameters(const Subsystem& self, GroupContext& g) {
    ParameterReader r(g.DB, &g.run.shown);
    g.model.setEnabled(QStringLiteral("Ch14"), true);

    for (const ChoiceGroup& group : Groups) {
        r.find(group.param);
        const db::Value v = r.value();
        const QString text = v.isNull() ? QString() : v.variant().toString();
        const Choice* match = group.otherwise;
        for (const Choice& choice : group.choices)
            if (text == QString::fromUtf8(choice.stored))
                match = &choice;
        if (match)
            g.model.select(QString::fromLatin1(match->option));
    }

    LoadStartMonth(self, r, g);
}

void SaveInventoryAccountingParameters(const Subsystem& self, GroupContext& g) {
    db::HostDatabase& DB = g.DB;
    for (const ChoiceGroup& group : Groups) {
        for (const Choice& choice : group.choices) {
            if (g.model.selected(QString::fromLatin1(choice.option))) {
                writeText(DB, group.param, QString::fromUtf8(choice.stored));
                break;
            }
        }
    }
    const QString month = g.model.text(QString::fromLatin1(self.monthBox));
    writeText(DB, self.startDate, startDateText(g.run.AccountYear, month));

    // Inventory management follows the new start month until it has closed
    // its opening period.
    if (singleValue(DB, ST::dSTStartDate).hasText() &&
        !AccountQueries(DB).IsPeriodClosed(0, QString::fromLatin1(self.code)))
        writeText(DB, ST::dSTStartDate, startDateText(g.run.AccountYear, month));
}

}  // namespace zx::wizard
