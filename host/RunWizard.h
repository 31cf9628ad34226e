#pragma once

#include <QString>

#include <optional>

namespace zx::host {

struct RunOptions {
    QString accountFile;
    QString systemFile;  // empty: zxsystem.db beside the account
    QString odbc;        // instead of a file: an ODBC connection string
    QString subsystem;
    std::optional<QString> script;  // the script's text; none: a person at the window
    QString screenshot;             // with a script: a picture of the window at its end
    bool dryRun = false;            // everything but the commit, which is rolled back
    bool json = false;              // JSON Lines even on a terminal
};

// Opens the account, creates the component by ProgID, runs the wizard and
// reports it as events. Returns the command's exit status.
int runWizard(const RunOptions& options);

}  // namespace zx::host
