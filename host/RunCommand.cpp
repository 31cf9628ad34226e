#include "CommandLine.h"
#include "Commands.h"
#include "RunWizard.h"
#include "Script.h"

namespace zx::host {

int runCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Runs the wizard on an account database and exits with its result:\n"
            "0 written, 1 failed and rolled back, 2 refused, 3 cancelled;\n"
            "4 when the call failed, 64 for a usage or script error.\n"
            "Without --script a person uses the window, which needs a screen. With --script\n"
            "the window is driven by the script's actions (offscreen when there is no\n"
            "screen). On a terminal the run is told in words; otherwise, or with --json,\n"
            "every event is a JSON line.\n\n"
            "Script actions, one a line (# starts a comment):\n") +
        QString::fromLatin1(ScriptGrammar).chopped(1));
    const AccountOptions account;
    const QCommandLineOption sysOption(
        QStringLiteral("sys"),
        QStringLiteral("Subsystem to set up: ST, PU, SA, IA, or AA "
                       "for the common parameters alone (any case)."),
        QStringLiteral("CODE"));
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Actions to play instead of a user ('-': standard input)."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("With --script: a picture of the window just before its modal display "
                       "ends (.png or .jpg)."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("Play the run and report what Finish would write, then roll it back."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("JSON Lines on stdout, even on a terminal."));
    account.addTo(parser);
    parser.addOptions({sysOption, script, screenshot, dryRun, json});
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("run"), args, &exit))
        return exit;
    if (!account.given(parser) || !parser.isSet(sysOption) ||
        !parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral(
            "run needs --db FILE (or --odbc CONNECTION) and --sys CODE; see zxwizard run --help"));
        return ExitUsage;
    }
    if (!account.consistent(parser))
        return ExitUsage;
    if (parser.isSet(screenshot) && !parser.isSet(script)) {
        printError(QStringLiteral("--screenshot needs --script"));
        return ExitUsage;
    }
    const auto subsystem = subsystemCode(parser.value(sysOption));
    if (!subsystem)
        return ExitUsage;
    RunOptions options;
    options.screenshot = parser.value(screenshot);
    options.accountFile = parser.value(account.db);
    options.odbc = parser.value(account.odbc);
    options.systemFile = parser.value(account.systemDb);
    options.subsystem = *subsystem;
    options.dryRun = parser.isSet(dryRun);
    options.json = parser.isSet(json);
    if (parser.isSet(script)) {
        QString error;
        options.script = readScriptFile(parser.value(script), QStringLiteral("script"), &error);
        if (!options.script) {
            printError(error);
            return ExitUsage;
        }
    }
    return runWizard(options);
}

}  // namespace zx::host
