#include "CommandLine.h"
#include "Commands.h"
#include "RunWizard.h"
#include "core/FakeArgv.h"

#include <QFile>

#include <cstdio>

namespace zx::host {

namespace {

std::optional<QString> readScript(const QString& path, QString* error) {
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = QStringLiteral("cannot read the script %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

}  // namespace

int runCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the wizard on an account database and exits with its result:\n"
        "0 written, 1 failed and rolled back, 2 refused, 3 cancelled;\n"
        "4 when the call failed, 64 for a usage or script error.\n"
        "With --script the window is driven by the script's actions (offscreen when\n"
        "there is no display) and every event is printed as a JSON line."));
    const AccountOptions account;
    const QCommandLineOption sysOption(QStringLiteral("sys"),
                                       QStringLiteral("Subsystem to set up: ST, PU, SA or IA."),
                                       QStringLiteral("CODE"));
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Actions to play instead of a user ('-': standard input)."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("With --script: save a PNG of the window just before "
                       "its modal display ends."),
        QStringLiteral("FILE.png"));
    account.addTo(parser);
    parser.addOptions({sysOption, script, screenshot});
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("run"), args, &exit))
        return exit;
    if (!account.given(parser) || !parser.isSet(sysOption) ||
        !parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral(
            "run needs --db FILE (or --odbc CONNECTION) and --sys CODE; see zxwizard run --help"));
        return ExitUsage;
    }
    if (parser.isSet(screenshot) && !parser.isSet(script)) {
        printError(QStringLiteral("--screenshot needs --script"));
        return ExitUsage;
    }
    RunOptions options;
    options.screenshot = parser.value(screenshot);
    options.accountFile = parser.value(account.db);
    options.odbc = parser.value(account.odbc);
    options.systemFile = parser.value(account.systemDb);
    options.subsystem = parser.value(sysOption);
    if (parser.isSet(script)) {
        QString error;
        options.script = readScript(parser.value(script), &error);
        if (!options.script) {
            printError(error);
            return ExitUsage;
        }
    }
    return runWizard(options, fakeArgc(), fakeArgv());
}

}  // namespace zx::host
