#pragma once

// Class Wizard: the entry operation and the run sequence around the
// parameter groups, the start-period check and the window.

#include "ParameterGroups.h"

#include <QString>

#include <cstdint>

namespace zx::db {
class HostDatabase;
}

namespace zx::wizard {

class RunHost;

// The account years the wizard works with: "1980" to "2050", compared as
// texts by character code.
bool accountYearAccepted(const QString& year);

class Wizard {
public:
    // One run for subsystem cSys ("ST", "PU", "SA", "IA"; anything else:
    // common parameters only). Returns 0 written, 1 failed and rolled back,
    // 2 refused, 3 cancelled. Failures outside the save throw zx::Error.
    // `host` shows the messages and makes the window; neither it nor DB is
    // kept beyond the call.
    std::int32_t Run(db::HostDatabase& DB, QString& cSys, RunHost& host);

    // The codes and the account of the last run; a refused year leaves the
    // previous run's codes as they were.
    const RunState& state() const { return m_run; }
    // Why the last run's save failed (result 1); empty after any other end.
    const QString& saveFailure() const { return m_saveFailure; }

private:
    RunState m_run;
    QString m_saveFailure;
};

}  // namespace zx::wizard
