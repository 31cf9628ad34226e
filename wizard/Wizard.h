#pragma once

// Class Wizard: the entry operation and the parameter-group routines it
// runs, in the order of one run.

#include <QString>

#include <cstdint>

namespace zx::db {
class HostDatabase;
}
namespace zx::ui {
class TextBox;
}

namespace zx::wizard {

struct Param;
class ParameterReader;

class Wizard {
public:
    // One run for subsystem cSys ("ST", "PU", "SA", "IA"; anything else:
    // common parameters only). Returns 0 written, 1 failed and rolled back,
    // 2 refused, 3 cancelled. Failures outside the save throw zx::Error.
    std::int32_t Run(db::HostDatabase& DB, QString& cSys);

    // Cut from the database name by each run.
    QString AccountId;
    QString AccountYear;
    // Why the save of the last run failed (result 1); else empty.
    QString SaveFailure;

private:
    struct Group {
        const char* code;
        void (Wizard::*load)(db::HostDatabase&);
        void (Wizard::*save)(db::HostDatabase&);
    };
    static const Group* groupOf(const QString& cSys);

    void LoadCommonParameters(db::HostDatabase& DB);
    void SaveCommonParameters(db::HostDatabase& DB);
    void LoadStockParameters(db::HostDatabase& DB);
    void SaveStockParameters(db::HostDatabase& DB);
    void LoadPurchaseParameters(db::HostDatabase& DB);
    void SavePurchaseParameters(db::HostDatabase& DB);
    void LoadSalesParameters(db::HostDatabase& DB);
    void SaveSalesParameters(db::HostDatabase& DB);
    void LoadInventoryAccountingParameters(db::HostDatabase& DB);
    void SaveInventoryAccountingParameters(db::HostDatabase& DB);

    // The start month box of a subsystem page: a stored month locks it; an
    // empty one is derived (StartCheckMode = mode) when other subsystems
    // have started. `askMode` is what the load passes to MustDeriveStartMonth.
    void LoadStartMonth(db::HostDatabase& DB, ParameterReader& reader, const Param& p,
                        ui::TextBox* box, std::int16_t mode, std::int16_t askMode);

    // Start period and month-end checks.
    bool MustDeriveStartMonth(db::HostDatabase& DB, std::int16_t& mode);
    bool CheckStartPeriod(db::HostDatabase& DB, std::int16_t& mode);
};

}  // namespace zx::wizard
