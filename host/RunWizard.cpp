#include "RunWizard.h"

#include "AccountFiles.h"
#include "Commands.h"
#include "DryRunDatabase.h"
#include "EventWriter.h"
#include "Screenshot.h"
#include "ScriptDriver.h"
#include "Snapshot.h"
#include "WizardClient.h"
#include "core/Error.h"
#include "dbkit/RowChangeLog.h"

#include <QApplication>
#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace zx::host {

namespace {

// The databases a run opens, as files: never a place for a picture.
QStringList databaseFiles(const RunOptions& options) {
    if (options.accountFile.isEmpty())
        return {};
    const QString system =
        options.systemFile.isEmpty()
            ? QFileInfo(options.accountFile).absolutePath() + QStringLiteral("/zxsystem.db")
            : options.systemFile;
    return {options.accountFile, system};
}

// Qt ends the process with exit(1) when its connection to the X server
// breaks, and 1 would read as a save that failed. While the call runs, such
// an exit is the call failing; the process ends at once, before static
// destructors reach widgets whose display has gone.
std::atomic<bool> g_callRunning{false};

void exitDuringCall() {
    if (!g_callRunning)
        return;
    std::fputs("zxwizard: the run ended with the connection to the display lost\n", stderr);
    std::_Exit(ExitCallFailed);
}

struct CallRunning {
    CallRunning() {
        static const bool registered = (std::atexit(exitDuringCall), true);
        Q_UNUSED(registered);
        g_callRunning = true;
    }
    ~CallRunning() { g_callRunning = false; }
};

}  // namespace

int runWizard(const RunOptions& options) {
    const auto events = makeEventWriter(options.json);
    std::vector<Action> actions;
    if (options.script) {
        QString error;
        auto parsed = parseScript(*options.script, &error);
        if (!parsed) {
            events->error(QStringLiteral("script: ") + error);
            return ExitUsage;
        }
        actions = std::move(*parsed);
    }
    if (!options.screenshot.isEmpty()) {
        const QString refusal = Screenshot::refusal(options.screenshot, databaseFiles(options));
        if (!refusal.isEmpty()) {
            printError(refusal);
            return ExitUsage;
        }
    }
    if (!displayAvailable()) {
        if (!options.script) {
            printError(
                QStringLiteral("no screen shows a window here (QT_QPA_PLATFORM, DISPLAY); "
                               "use --script to run the wizard without one"));
            return ExitUsage;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const auto app = widgetApplication();

    try {
        auto account = options.odbc.isEmpty()
                           ? openAccount(options.accountFile, options.systemFile, options.dryRun)
                           : openOdbcAccount(options.odbc);
        // What the run changes: as the database reports each write where it
        // can, else from the whole tables before and after.
        const auto log = db::RowChangeLog::start(*account);
        const Snapshot before = log ? Snapshot() : Snapshot::take(*account);
        std::optional<DryRunDatabase> dryRun;
        if (options.dryRun)
            dryRun.emplace(*account, !log);
        WizardClient wizard = WizardClient::create();
        ScriptDriver driver(std::move(actions), *events);
        driver.setScreenshot(options.screenshot);
        if (options.script)
            wizard.setObserver(&driver);
        // The component must not keep the driver past this scope, whatever happens.
        const std::unique_ptr<WizardClient, void (*)(WizardClient*)> detach(
            &wizard, [](WizardClient* w) { w->setObserver(nullptr); });
        std::int32_t result = 0;
        {
            const CallRunning running;
            result = wizard.run(dryRun ? static_cast<db::HostDatabase&>(*dryRun) : *account,
                                options.subsystem);
        }
        driver.finish();

        QJsonObject outcome{{QStringLiteral("event"), QStringLiteral("result")},
                            {QStringLiteral("code"), result}};
        if (options.dryRun)
            outcome.insert(QStringLiteral("dryRun"), true);
        const QString reason = result == 1 ? wizard.saveFailure() : QString();
        if (!reason.isEmpty())
            outcome.insert(QStringLiteral("reason"), reason);
        events->write(outcome);
        if (!reason.isEmpty())
            printError(QStringLiteral("the save failed and was rolled back: ") + reason);
        if (result == 0) {
            const auto [prior, after] =
                log ? Snapshot::ofChanges(*account, *log)
                    : std::pair(before, dryRun ? dryRun->atCommit().value_or(before)
                                               : Snapshot::take(*account));
            for (const QJsonObject& change : after.changesSince(prior))
                events->write(change);
        }
        events->finish();
        return driver.failed() ? int(ExitUsage) : int(result);
    } catch (const Error& error) {
        events->error(error.message());
        return ExitCallFailed;
    }
}

}  // namespace zx::host
