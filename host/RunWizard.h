#pragma once

#include <QString>

#include <optional>

namespace zx::host {

struct RunOptions {
    QString accountFile;
    QString systemFile;  // empty: zxsystem.db beside the account
    QString odbc;        // instead of a file: an ODBC connection string
    QString subsystem;
    std::optional<QString> script;  // the script's text; none: a real window
    QString screenshot;             // with a script: PNG of the window at its end
};

// Opens the account, creates the component by ProgID, runs the wizard and
// reports it as JSON events. Returns the command's exit status.
int runWizard(const RunOptions& options, int argc, char** argv);

}  // namespace zx::host
