#pragma once

// Everything the wizard asks the account database besides the parameter
// rows: the guards behind the option rules, the department check of Finish,
// and the start-period and month-end checks. No widget is involved: callers
// show the messages and set the boxes.

#include "Subsystems.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace zx::db {
class HostDatabase;
}

namespace zx::wizard {

// A box that switches a feature off, refused while items use the feature.
struct ExistingDataGuard {
    const char* box;
    const char* sql;  // finds an item using the feature
    const char* message;
};
std::span<const ExistingDataGuard> existingDataGuards();

// A classification switched off: allowed on an empty class table or one
// holding only the default class "00", which the common save then creates.
struct Classification {
    const char* box;
    Param flag;
    const char* table;
    const char* codeColumn;
    const char* nameColumn;
    const char* gradeColumn;
    Param grade;          // written "2" with the default class
    const char* keyword;  // its coding rule in GradeDef
    const char* message;  // why it cannot be switched off
};
std::span<const Classification> classifications();

struct ClassificationVerdict {
    QString tag;  // "Y": the table was empty; "N": it was not
    bool refused = false;
};

// Where a start-period check leaves a setup.
struct StartPeriodVerdict {
    std::optional<QString> month;  // the derived month; none: the setup is refused
    QString message;               // shown with a refusal, when it has one
};

class AccountQueries {
public:
    explicit AccountQueries(db::HostDatabase& DB) : m_db(DB) {}

    // Whether some item uses the guarded feature.
    bool hasDataFor(const ExistingDataGuard& guard);
    // The classification guard of a box that was just unticked.
    ClassificationVerdict classification(const Classification& kind);
    // Whether every department's warehouses share one valuation method.
    bool departmentsValueAlike();

    // Whether the start month of `self` must be derived from the others.
    bool MustDeriveStartMonth(const Subsystem& self);
    // The month `self` must start in, or the refusal of its setup.
    StartPeriodVerdict CheckStartPeriod(const Subsystem& self);
    // Whether subsystem `sys` has closed `period` in GL_mEnd.
    bool IsPeriodClosed(std::uint8_t period, const QString& sys);

private:
    db::HostDatabase& m_db;
};

}  // namespace zx::wizard
