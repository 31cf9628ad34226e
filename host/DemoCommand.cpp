#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "RunWizard.h"
#include "core/Error.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace zx::host {

int demoCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates a demo account under ./zxwizard-demo/ if it is missing (with items,\n"
        "warehouses and classes for the guards, and purchasing started in March), then\n"
        "runs the wizard for sales (SA) in a real window. Without a display it plays the\n"
        "bundled example script headless, prints its events and then the sales rows.\n"
        "The same can be done by hand with 'zxwizard run --script FILE', and\n"
        "'--screenshot FILE.png' saves a picture of the window as it closes."));
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("demo"), args, &exit))
        return exit;

    const QString year = QString::number(QDate::currentDate().year());
    const QString dir = QDir::current().absoluteFilePath(QStringLiteral("zxwizard-demo"));
    const QString account = dir + QStringLiteral("/ZXDATA_001_") + year + QStringLiteral(".db");
    if (!QFileInfo::exists(account)) {
        try {
            const CreatedAccount created = createAccount(dir, QStringLiteral("001"), year);
            addDemoData(created.accountFile, year);
            printLine(QStringLiteral("created the demo account ") + created.accountFile);
        } catch (const Error& error) {
            printError(error.message());
            return ExitFailed;
        }
    }
    std::fflush(stdout);

    RunOptions options;
    options.accountFile = account;
    options.subsystem = QStringLiteral("SA");
    if (!displayAvailable()) {
        initBundledFiles();
        QFile script(QStringLiteral(":/host/demo.script"));
        if (!script.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("the bundled demo script is missing"));
            return ExitFailed;
        }
        options.script = QString::fromUtf8(script.readAll());
        std::printf(
            "No screen shows a window here, so the bundled script plays the sales setup\n"
            "headless (try it yourself with\n");
        printLine(QStringLiteral("  zxwizard run --db %1 --sys SA --script FILE "
                                 "[--screenshot window.png])")
                      .arg(account));
        std::fflush(stdout);
    }
    const int result = runWizard(options);
    if (options.script) {
        std::printf("\nThe sales rows now:\n");
        std::fflush(stdout);
        showCommand(
            {QStringLiteral("--db"), account, QStringLiteral("--sys"), QStringLiteral("SA")});
    }
    return result;
}

}  // namespace zx::host
