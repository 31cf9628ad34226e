#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "core/Error.h"
#include "wizard/Wizard.h"

#include <QDate>

#include <cstdio>

namespace zx::host {

int createAccountCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates DIR/ZXDATA_<account>_<year>.db with every table and default parameter row,\n"
        "and DIR/zxsystem.db with the periods of that year when it is missing.\n"
        "An existing account file is never overwritten."));
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("Folder of the account files."));
    const QCommandLineOption account(
        QStringLiteral("account"), QStringLiteral("Three-character account number (default 001)."),
        QStringLiteral("NNN"), QStringLiteral("001"));
    const QCommandLineOption year(
        QStringLiteral("year"), QStringLiteral("Account year, 1980 to 2050 (default: this year)."),
        QStringLiteral("YYYY"), QString::number(QDate::currentDate().year()));
    const QCommandLineOption odbc(
        QStringLiteral("odbc"),
        QStringLiteral("Instead of DIR: create the tables and rows in the empty server "
                       "database of this ODBC connection string."),
        QStringLiteral("CONNECTION"));
    parser.addOption(account);
    parser.addOption(year);
    parser.addOption(odbc);
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("create-account"), args, &exit))
        return exit;
    QString problem = accountNumbersProblem(parser.value(account), parser.value(year));
    // The wizard refuses an account of any other year (tests make such
    // accounts through the library to see it refuse).
    if (problem.isEmpty() && !wizard::accountYearAccepted(parser.value(year)))
        problem =
            QStringLiteral("--year takes a year from 1980 to 2050: %1").arg(parser.value(year));
    if (!problem.isEmpty()) {
        printError(problem);
        return ExitUsage;
    }
    if (parser.isSet(odbc)) {
        try {
            createPostgreSqlAccount(parser.value(odbc), parser.value(account), parser.value(year));
            std::printf("created the account tables in the server database\n");
            return ExitOk;
        } catch (const Error& error) {
            printError(error.message());
            return ExitFailed;
        }
    }
    if (parser.positionalArguments().size() != 1) {
        printError(
            QStringLiteral("create-account needs one folder; see zxwizard create-account --help"));
        return ExitUsage;
    }
    try {
        const CreatedAccount created = createAccount(parser.positionalArguments().first(),
                                                     parser.value(account), parser.value(year));
        printLine(QStringLiteral("created ") + created.accountFile);
        if (created.systemCreated)
            printLine(QStringLiteral("created ") + created.systemFile);
        return ExitOk;
    } catch (const Error& error) {
        printError(error.message());
        return ExitFailed;
    }
}

}  // namespace zx::host
