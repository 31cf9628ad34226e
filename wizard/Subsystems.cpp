#include "Subsystems.h"

#include "ParameterGroups.h"

#include <array>

namespace zx::wizard {

namespace {

constexpr FinanceSubsystem Payables{"AP", dAPStartDate, "bflag_AP", OpenMonth::Walk, false};
constexpr FinanceSubsystem Receivables{"AR", dARStartDate, "bflag_AR", OpenMonth::Walk, false};
constexpr FinanceSubsystem Ledger{"GL", dGLStartDate, "bflag", OpenMonth::ByQuery, true};

using Before = Subsystem::Before;

const std::array<Subsystem, 4> Table = {{
    {"ST", 1, "PicS2", "Fra2", false, "Te26", ST::dSTStartDate, "bflag_ST", OpenMonth::ByQuery,
     nullptr, "库存系统12月已结账，本模块本年度不能启用", Before::Nothing, LoadStockParameters,
     SaveStockParameters},
    {"PU", 2, "PicS3", "Fra3", true, "Te33", PU::dPUStartDate, "bflag_PU", OpenMonth::Walk,
     &Payables, "采购系统12月已结账，本模块本年度不能启用", Before::Nothing, LoadPurchaseParameters,
     SavePurchaseParameters},
    {"SA", 3, "PicS4", "Fra4", true, "Te43", SA::dSaleStartDate, "bflag_SA", OpenMonth::Walk,
     &Receivables, "销售系统12月已结账，本模块本年度不能启用", Before::ControlPasswords,
     LoadSalesParameters, SaveSalesParameters},
    {"IA", 4, "PicS5", "Fra5", true, "Te55", IA::dIAStartDate, "bflag_IA", OpenMonth::Walk, &Ledger,
     "存货系统12月已结账，本模块本年度不能启用", Before::Departments,
     LoadInventoryAccountingParameters, SaveInventoryAccountingParameters},
}};

}  // namespace

std::span<const Subsystem> subsystems() {
    return Table;
}

const Subsystem* subsystemOf(const QString& code) {
    for (const Subsystem& s : Table)
        if (code == QLatin1String(s.code))
            return &s;
    return nullptr;
}

const Subsystem* subsystemOfMode(std::int16_t mode) {
    for (const Subsystem& s : Table)
        if (s.mode == mode)
            return &s;
    return nullptr;
}

}  // namespace zx::wizard
