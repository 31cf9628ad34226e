#include "CommandLine.h"
#include "Commands.h"
#include "WizardClient.h"
#include "com/ComRegistry.h"
#include "com/ComRuntime.h"

#include <QFileInfo>

namespace zx::host {

int registerCommand(const QStringList& args, bool unregister) {
    const QString command = unregister ? QStringLiteral("unregister") : QStringLiteral("register");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        unregister ? QStringLiteral("Removes ZXWizard.Wizard from the class registry.")
                   : QStringLiteral(
                         "Registers ZXWizard.Wizard in the user's class registry\n"
                         "($ZXCOM_REGISTRY, else $XDG_CONFIG_HOME/zxcom/registry.ini), which\n"
                         "hosts read before the system's (zxcom/registry.ini in $XDG_CONFIG_DIRS,\n"
                         "default /etc/xdg)."));
    parser.addPositionalArgument(
        QStringLiteral("LIBRARY"),
        QStringLiteral("The component library (default: the one installed, or built, with "
                       "this command)."),
        QStringLiteral("[LIBRARY]"));
    int exit = ExitOk;
    if (!parseCommandLine(parser, command, args, &exit))
        return exit;
    if (parser.positionalArguments().size() > 1) {
        printError(QStringLiteral("%1 takes at most one library").arg(command));
        return ExitUsage;
    }
    const QString library =
        QFileInfo(parser.positionalArguments().value(0, WizardClient::builtLibrary()))
            .absoluteFilePath();
    const com::ComRegistry registry;
    const QString progId = QString::fromLatin1(wizard::ProgId);
    QString error;
    const auto before = registry.serverOf(progId, &error);
    const com::HRESULT hr = unregister ? com::ComRuntime::unregisterServer(library, &error)
                                       : com::ComRuntime::registerServer(library, &error);
    if (com::Failed(hr)) {
        printError(error);
        return ExitFailed;
    }
    if (!unregister) {
        printLine(QStringLiteral("registered %1 (%2) in %3").arg(progId, library, registry.path()));
        return ExitOk;
    }
    // Another library's entry is left alone; say so rather than claim it gone.
    const auto after = registry.serverOf(progId, &error);
    if (!before)
        printLine(QStringLiteral("%1 was not registered in %2; nothing changed")
                      .arg(progId, registry.path()));
    else if (after)
        printLine(QStringLiteral("%1 stays registered in %2: it names %3, not %4")
                      .arg(progId, registry.path(), after->libraryPath, library));
    else
        printLine(
            QStringLiteral("unregistered %1 (%2) from %3").arg(progId, library, registry.path()));
    return ExitOk;
}

}  // namespace zx::host
