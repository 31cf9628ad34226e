#include "CommandLine.h"
#include "Commands.h"
#include "WizardClient.h"
#include "com/ComRegistry.h"
#include "com/ComRuntime.h"

#include <QFileInfo>

#include <cstdio>

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
    QString error;
    const com::HRESULT hr = unregister ? com::ComRuntime::unregisterServer(library, &error)
                                       : com::ComRuntime::registerServer(library, &error);
    if (com::Failed(hr)) {
        printError(error);
        return ExitFailed;
    }
    std::printf("%s %s (%s) in %s\n", unregister ? "unregistered" : "registered", wizard::ProgId,
                library.toLocal8Bit().constData(),
                com::ComRegistry().path().toLocal8Bit().constData());
    return ExitOk;
}

}  // namespace zx::host
