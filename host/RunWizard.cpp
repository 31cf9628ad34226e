#include "RunWizard.h"

#include "AccountFiles.h"
#include "Commands.h"
#include "Events.h"
#include "ScriptDriver.h"
#include "Snapshot.h"
#include "WizardClient.h"
#include "core/Error.h"

#include <QApplication>

namespace zx::host {

int runWizard(const RunOptions& options, int argc, char** argv) {
    std::vector<Action> actions;
    if (options.script) {
        QString error;
        auto parsed = parseScript(*options.script, &error);
        if (!parsed) {
            emitError(QStringLiteral("script: ") + error);
            printError(QStringLiteral("script: ") + error);
            return ExitUsage;
        }
        actions = std::move(*parsed);
    }
    if (!displayAvailable()) {
        if (!options.script) {
            printError(QStringLiteral(
                "no display can be opened; use --script to run the wizard without one"));
            return ExitUsage;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    try {
        auto database = options.odbc.isEmpty()
                            ? openAccount(options.accountFile, options.systemFile)
                            : openOdbcAccount(options.odbc);
        const Snapshot before = Snapshot::take(*database);
        WizardClient wizard = WizardClient::create();
        ScriptDriver driver(std::move(actions));
        driver.setScreenshot(options.screenshot);
        if (options.script)
            wizard.setObserver(&driver);
        // The component must not keep the driver past this scope, whatever happens.
        const std::unique_ptr<WizardClient, void (*)(WizardClient*)> detach(
            &wizard, [](WizardClient* w) { w->setObserver(nullptr); });
        const std::int32_t result = wizard.run(*database, options.subsystem);
        driver.finish();
        emitEvent({{QStringLiteral("event"), QStringLiteral("result")},
                   {QStringLiteral("code"), result}});
        if (result == 0)
            Snapshot::take(*database).reportChangesSince(before);
        return driver.failed() ? int(ExitUsage) : int(result);
    } catch (const Error& error) {
        emitError(error.message());
        printError(error.message());
        return ExitCallFailed;
    }
}

}  // namespace zx::host
