#pragma once

// Many accounts set up by one script: each account runs `zxwizard run` in a
// process and connection of its own, a few side by side, and what each run
// came to is read from its exit status and events. One account's failure
// never stops or touches the others.

#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <functional>

namespace zx::host {

struct AccountOutcome {
    enum Kind { Written, Refused, Failed } kind = Failed;
    QString detail;  // the changes, the refusing message, or why it failed

    // From a finished `zxwizard run --json`; exit -1 when it crashed.
    static AccountOutcome of(int exit, const QList<QJsonObject>& events, const QString& errors,
                             bool dryRun);
};

struct AccountJob {
    QString label;          // how the account is named in the report
    QStringList arguments;  // --db FILE [--system-db FILE], or --odbc TEXT
};

// Runs `run` with `common` arguments plus each job's, `input` on its
// standard input, at most `jobs` at a time; `done` is called as each
// finishes, in the order they finish.
void runAccountJobs(const QStringList& common, const QByteArray& input,
                    const QList<AccountJob>& accounts, int jobs, bool dryRun,
                    const std::function<void(const AccountJob&, const AccountOutcome&)>& done);

}  // namespace zx::host
