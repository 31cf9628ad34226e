// Inventory accounting (IA) on page Fra5: four choices made with option
// groups, mapped to their stored texts by table, never by caption.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "window/Main.h"

#include <vector>

namespace zx::wizard {

namespace {

struct Choice {
    ui::OptionButton* option;
    const char* stored;
};

struct ChoiceGroup {
    const Param& param;
    std::vector<Choice> choices;
};

std::vector<ChoiceGroup> choiceGroups(const ui::MainControls& c) {
    return {
        {IA::cValueStyle, {{c.Op51, "按仓库核算"}, {c.Op52, "按部门核算"}}},
        {IA::cEstimate, {{c.Op53, "月初回冲"}, {c.Op54, "单到回冲"}, {c.Op55, "单到补差"}}},
        {IA::cZero,
         {{c.Op56, "上次出库成本"},
          {c.Op57, "参考成本"},
          {c.Op58, "结存成本"},
          {c.Op59, "上次入库成本"},
          {c.Op510, "手工输入"}}},
        {IA::cPlan,
         {{c.Op511, "仓库"},
          {c.Op512, "存货分类"},
          {c.Op513, "存货"},
          {c.Op514, "仓库加分类"},
          {c.Op515, "仓库加存货"},
          {c.Op516, "分类加存货"}}},
    };
}

}  // namespace

void Wizard::LoadInventoryAccountingParameters(db::HostDatabase& DB) {
    ui::Main& main = WBAS::MainForm();
    ui::MainControls& c = main.ui();
    ParameterReader r(DB);
    c.Ch14->setEnabled(true);

    for (const ChoiceGroup& group : choiceGroups(c)) {
        r.find(group.param);
        const db::Value v = r.value();
        const QString text = v.isNull() ? QString() : v.variant().toString();
        const Choice* match = nullptr;
        for (const Choice& choice : group.choices)
            if (text == QString::fromUtf8(choice.stored))
                match = &choice;
        if (&group.param == &IA::cValueStyle && !match)
            match = &group.choices[1];  // anything but by-warehouse is by department
        if (match) {
            match->option->setValue(true);
            main.rethrowHandlerError();
        }
    }

    LoadStartMonth(DB, r, IA::dIAStartDate, c.Te55, 4, 4);
}

void Wizard::SaveInventoryAccountingParameters(db::HostDatabase& DB) {
    const ui::MainControls& c = WBAS::MainForm().ui();
    for (const ChoiceGroup& group : choiceGroups(c)) {
        for (const Choice& choice : group.choices) {
            if (choice.option->value()) {
                writeText(DB, group.param, QString::fromUtf8(choice.stored));
                break;
            }
        }
    }
    writeText(DB, IA::dIAStartDate, startDateText(AccountYear, c.Te55->text()));

    // Inventory management follows the new start month until it has closed
    // its opening period.
    if (singleValue(DB, ST::dSTStartDate).hasText() &&
        !WBAS::IsPeriodClosed(DB, 0, QStringLiteral("IA")))
        writeText(DB, ST::dSTStartDate, startDateText(AccountYear, c.Te55->text()));
}

}  // namespace zx::wizard
