#include "AccountFiles.h"
#include "AccountJobs.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ProfileExport.h"
#include "Script.h"
#include "TerminalText.h"
#include "WizardClient.h"
#include "core/Error.h"
#include "dbkit/ConnectionText.h"

#include <QThread>

#include <cstdio>

namespace zx::host {

int applyCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Applies a profile (see 'zxwizard export') to every account named, each in its\n"
        "own process and connection, and prints a line per account and a total:\n"
        "  written      Finish wrote the account (with --dry-run: would write, and what)\n"
        "  refused      a message of the wizard stopped it; nothing was written\n"
        "  failed       the profile could not be applied, the save failed, or the\n"
        "               account could not be opened; nothing was written\n"
        "Exit status 0 only when every account was written (or would be)."));
    parser.addPositionalArgument(QStringLiteral("PROFILE"),
                                 QStringLiteral("The profile; - reads it from standard input."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("More account files, as after --db."),
                                 QStringLiteral("[FILE...]"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("An account database file (repeatable)."),
                                QStringLiteral("FILE"));
    const QCommandLineOption odbc(
        QStringLiteral("odbc"),
        QStringLiteral("An account on a server, by ODBC connection string (repeatable)."),
        QStringLiteral("CONNECTION"));
    const QCommandLineOption systemDb(
        QStringLiteral("system-db"),
        QStringLiteral("System database of every account file (default: zxsystem.db beside "
                       "each)."),
        QStringLiteral("FILE"));
    const QCommandLineOption sysOption(QStringLiteral("sys"),
                                       QStringLiteral("Subsystem: ST, PU, SA, IA or AA."),
                                       QStringLiteral("CODE"));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("Report what each account would get; write nothing."));
    const QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("Accounts set up side by side (default: the number of cores)."),
        QStringLiteral("N"), QString::number(QThread::idealThreadCount()));
    parser.addOptions({db, odbc, systemDb, sysOption, dryRun, jobsOption});
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("apply"), args, &exit,
                          {QStringLiteral("db"), QStringLiteral("odbc")}))
        return exit;

    QStringList files = parser.values(db);
    const QStringList positional = parser.positionalArguments();
    files += positional.mid(1);
    bool jobsOk = false;
    const int jobs = parser.value(jobsOption).toInt(&jobsOk);
    if (positional.isEmpty() || !parser.isSet(sysOption) ||
        (files.isEmpty() && !parser.isSet(odbc)) || !jobsOk || jobs < 1) {
        printError(
            QStringLiteral("apply needs a PROFILE, --sys CODE, accounts (--db FILE... or "
                           "--odbc CONNECTION...) and --jobs of 1 or more; see zxwizard "
                           "apply --help"));
        return ExitUsage;
    }
    const auto subsystem = subsystemCode(parser.value(sysOption));
    if (!subsystem)
        return ExitUsage;
    // Read once: the runs get these bytes, not the path, so a pipe, a FIFO
    // or a file changed meanwhile gives every account what was checked.
    QString error;
    const auto text = readScriptFile(positional.first(), QStringLiteral("profile"), &error);
    if (!text) {
        printError(error);
        return ExitUsage;
    }
    if (!parseScript(*text, &error)) {
        printError(QStringLiteral("profile: ") + error);
        return ExitUsage;
    }
    // Its controls mean other things on another subsystem's page.
    const QString exportedFor = profileSubsystem(*text);
    if (!exportedFor.isEmpty() && exportedFor.compare(*subsystem, Qt::CaseInsensitive) != 0) {
        printError(
            QStringLiteral("the profile was exported for %1, not %2").arg(exportedFor, *subsystem));
        return ExitUsage;
    }

    QList<AccountJob> accounts;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& account = files[i];
        if (sameFile(account, parser.value(systemDb))) {
            printError(QStringLiteral("--system-db names an account database: %1").arg(account));
            return ExitUsage;
        }
        // Two runs of one account would race each other and count twice.
        for (qsizetype j = 0; j < i; ++j) {
            if (sameFile(account, files[j])) {
                printError(QStringLiteral("%1 is named twice (as %2)").arg(account, files[j]));
                return ExitUsage;
            }
        }
        QStringList where{QStringLiteral("--db"), account};
        if (parser.isSet(systemDb))
            where << QStringLiteral("--system-db") << parser.value(systemDb);
        accounts.append({account, where});
    }
    const QStringList connections = parser.values(odbc);
    for (qsizetype i = 0; i < connections.size(); ++i) {
        const QString& connection = connections[i];
        for (qsizetype j = 0; j < i; ++j) {
            if (sameServerAccount(connection, connections[j])) {
                printError(QStringLiteral("%1 is named twice (as %2)")
                               .arg(db::maskedConnectionText(connection),
                                    db::maskedConnectionText(connections[j])));
                return ExitUsage;
            }
        }
        accounts.append(
            {db::maskedConnectionText(connection), {QStringLiteral("--odbc"), connection}});
    }

    // Registered once here, not by every run at the same moment.
    try {
        WizardClient::ensureRegistered();
    } catch (const Error& failure) {
        printError(failure.message());
        return ExitCallFailed;
    }

    QStringList common{QStringLiteral("--json"), QStringLiteral("--sys"), *subsystem,
                       QStringLiteral("--script"), QStringLiteral("-")};
    if (parser.isSet(dryRun))
        common << QStringLiteral("--dry-run");
    int counts[3] = {0, 0, 0};
    static const char* const words[] = {"written", "refused", "failed"};
    const char* const writtenWord = parser.isSet(dryRun) ? "would write" : "written";
    runAccountJobs(common, text->toUtf8(), accounts, jobs, parser.isSet(dryRun),
                   [&](const AccountJob& job, const AccountOutcome& outcome) {
                       ++counts[outcome.kind];
                       const QString line =
                           QStringLiteral("%1 %2: %3")
                               .arg(QString::fromLatin1(outcome.kind == AccountOutcome::Written
                                                            ? writtenWord
                                                            : words[outcome.kind]),
                                    job.label, outcome.detail);
                       std::printf("%s\n", escapedForTerminal(line).toUtf8().constData());
                       std::fflush(stdout);
                   });
    std::printf("%lld account%s: %d %s, %d refused, %d failed\n",
                static_cast<long long>(accounts.size()), accounts.size() == 1 ? "" : "s",
                counts[AccountOutcome::Written],
                parser.isSet(dryRun) ? "would be written" : "written",
                counts[AccountOutcome::Refused], counts[AccountOutcome::Failed]);
    return counts[AccountOutcome::Written] == accounts.size() ? ExitOk : ExitFailed;
}

}  // namespace zx::host
