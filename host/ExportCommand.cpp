#include "AccountFiles.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ProfileExport.h"
#include "WizardClient.h"
#include "core/Error.h"
#include "dbkit/ConnectionText.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace zx::host {

int exportCommand(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints an account's choices for the common page and one subsystem's page as a\n"
        "profile: a script of set actions, as the window shows them after its loads\n"
        "(derived and disabled start months included). 'zxwizard apply' sets other\n"
        "accounts up alike. Nothing is written to the account."));
    const AccountOptions account;
    const QCommandLineOption sysOption(
        QStringLiteral("sys"),
        QStringLiteral("Subsystem: ST, PU, SA, IA, or AA for the common parameters alone."),
        QStringLiteral("CODE"));
    const QCommandLineOption passwords(QStringLiteral("with-passwords"),
                                       QStringLiteral("Include the passwords (as plain text)."));
    account.addTo(parser);
    parser.addOptions({sysOption, passwords});
    int exit = ExitOk;
    if (!parseCommandLine(parser, QStringLiteral("export"), args, &exit))
        return exit;
    if (!account.given(parser) || !parser.isSet(sysOption) ||
        !parser.positionalArguments().isEmpty()) {
        printError(
            QStringLiteral("export needs --db FILE (or --odbc CONNECTION) and --sys CODE; "
                           "see zxwizard export --help"));
        return ExitUsage;
    }
    const auto subsystem = subsystemCode(parser.value(sysOption));
    if (!subsystem || !account.consistent(parser))
        return ExitUsage;

    // Nobody looks at this window: it is read and cancelled.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = widgetApplication();
    try {
        const bool odbc = parser.isSet(account.odbc);
        auto database = odbc
                            ? openOdbcAccount(parser.value(account.odbc))
                            : openAccount(parser.value(account.db), parser.value(account.systemDb));
        const QString source = odbc ? db::maskedConnectionText(parser.value(account.odbc))
                                    : QFileInfo(parser.value(account.db)).absoluteFilePath();
        ProfileExport reader(parser.isSet(passwords));
        WizardClient wizard = WizardClient::create();
        wizard.setObserver(&reader);
        const std::unique_ptr<WizardClient, void (*)(WizardClient*)> detach(
            &wizard, [](WizardClient* w) { w->setObserver(nullptr); });
        const std::int32_t result = wizard.run(*database, *subsystem);
        if (result == 2) {
            printError(QStringLiteral("the account refuses the %1 setup%2")
                           .arg(*subsystem, reader.lastMessage().isEmpty()
                                                ? QString()
                                                : QStringLiteral(": ") + reader.lastMessage()));
            return ExitFailed;
        }
        if (!reader.failure().isEmpty()) {
            printError(reader.failure());
            return ExitFailed;
        }
        std::fputs(reader.profile(source, *subsystem).toUtf8().constData(), stdout);
        return ExitOk;
    } catch (const Error& error) {
        printError(error.message());
        return ExitCallFailed;
    }
}

}  // namespace zx::host
