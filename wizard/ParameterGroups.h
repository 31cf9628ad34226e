#pragma once

// The load and save of each parameter group. A load reads AccInformation
// and decides the values of the group's controls in the setup; a save reads
// only the setup and writes the group back inside the run's transaction.

#include "LoadedRows.h"
#include "Subsystems.h"

#include <QString>

#include <cstdint>

namespace zx::db {
class HostDatabase;
}

namespace zx::wizard {

class ParameterReader;
class SetupModel;

// What one run carries from its entry to its routines. It lives in the
// Wizard object, so a refused year leaves the previous run's codes as they
// were.
struct RunState {
    std::int32_t CancelCode = 0;      // 3 after Cancel
    std::int16_t StartCheckMode = 0;  // the mode of the subsystem whose month is derived
    QString AccountId;
    QString AccountYear;
    LoadedRows shown;  // the parameter rows this run's loads showed
};

struct GroupContext {
    db::HostDatabase& DB;
    SetupModel& model;
    RunState& run;
};

void LoadCommonParameters(GroupContext& g);
void SaveCommonParameters(GroupContext& g);
void LoadStockParameters(const Subsystem& self, GroupContext& g);
void SaveStockParameters(const Subsystem& self, GroupContext& g);
void LoadPurchaseParameters(const Subsystem& self, GroupContext& g);
void SavePurchaseParameters(const Subsystem& self, GroupContext& g);
void LoadSalesParameters(const Subsystem& self, GroupContext& g);
void SaveSalesParameters(const Subsystem& self, GroupContext& g);
void LoadInventoryAccountingParameters(const Subsystem& self, GroupContext& g);
void SaveInventoryAccountingParameters(const Subsystem& self, GroupContext& g);

// The subsystem's month box: a stored month fills and locks it; an empty one
// is derived (StartCheckMode) when other subsystems have started.
void LoadStartMonth(const Subsystem& self, ParameterReader& reader, GroupContext& g);

}  // namespace zx::wizard
