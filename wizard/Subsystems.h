#pragma once

// The four supply-chain subsystems the wizard sets up, one row each: where
// their page is, how their start month is stored and derived, and which
// routines load and save their parameters.

#include "Parameters.h"

#include <QString>

#include <cstdint>
#include <span>

namespace zx::wizard {

struct GroupContext;
struct Subsystem;
using GroupRoutine = void (*)(const Subsystem& self, GroupContext& run);

// How the month a subsystem now stands in is found in GL_mend, from period 1.
enum class OpenMonth {
    Walk,     // row by row to the first period whose flag is open
    ByQuery,  // the smallest open period by one query; none refuses the setup
};

// A finance subsystem whose state counts when a supply-chain subsystem
// derives its start month.
struct FinanceSubsystem {
    const char* code;
    Param startDate;
    const char* flag;  // its month-end column in GL_mend
    OpenMonth openMonth;
    // The ledger's month follows its closings rather than its start date.
    bool monthFromClosings;
};

struct Subsystem {
    const char* code;
    std::int16_t mode;  // its number as StartCheckMode
    const char* page;   // shown on step 2
    const char* frame;
    bool placedAtPageOne;  // the page is moved to where page 1 is when shown
    const char* monthBox;
    Param startDate;
    const char* flag;  // its month-end column in GL_mend
    OpenMonth openMonth;
    const FinanceSubsystem* related;  // null: no finance subsystem counts
    const char* decemberClosed;       // why no setup can start once it closed December
    // What Finish checks on the page before the start month.
    enum class Before { Nothing, ControlPasswords, Departments } finishChecks;
    GroupRoutine load;
    GroupRoutine save;
};

// In the order every start-period step walks them.
std::span<const Subsystem> subsystems();
// Matched exactly, case and all; null for any other code.
const Subsystem* subsystemOf(const QString& code);
// The subsystem whose number is `mode`; null for 0 and unknown numbers.
const Subsystem* subsystemOfMode(std::int16_t mode);

}  // namespace zx::wizard
