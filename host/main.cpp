// zxwizard: the host that users and scripts run.

#include "Commands.h"

#include <QCoreApplication>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

namespace {

const char* const Usage =
    "Usage: zxwizard COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  create-account DIR [--account 001] [--year YYYY]  create an account database\n"
    "  run --db FILE --sys CODE [--system-db FILE] [--script FILE|-]\n"
    "                                                    run the wizard on an account\n"
    "  show --db FILE [--sys CODE]                       list the parameter rows\n"
    "  register [LIBRARY] / unregister [LIBRARY]         (un)register the component\n"
    "  export --db FILE --sys CODE [--with-passwords]    print an account's choices as a profile\n"
    "  apply PROFILE --sys CODE --db FILE...             set many accounts up alike\n"
    "  demo                                              create a demo account and run the wizard\n"
    "\n"
    "Run 'zxwizard COMMAND --help' for the options of a command.\n";

}  // namespace

// Qt's own warnings (a driver's "unable to connect", a platform's notes)
// would repeat, on several lines, what the command already says in one.
void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg || type == QtCriticalMsg ||
        qEnvironmentVariableIsSet("ZXWIZARD_QT_MESSAGES"))
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char** argv) {
    qInstallMessageHandler(quietQtMessages);
    // Qt wants a private runtime folder; make it quietly when the session has none.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = "/tmp/runtime-" + QByteArray::number(::getuid());
        ::mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        std::fputs(Usage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? zx::host::ExitUsage : zx::host::ExitOk;
    }
    const QString command = args.takeFirst();
    using namespace zx::host;
    if (command == QLatin1String("run"))
        return runCommand(args);
    if (command == QLatin1String("demo"))
        return demoCommand(args);
    if (command == QLatin1String("export"))
        return exportCommand(args);

    // The other commands need no windows.
    QCoreApplication app(argc, argv);
    if (command == QLatin1String("create-account"))
        return createAccountCommand(args);
    if (command == QLatin1String("show"))
        return showCommand(args);
    if (command == QLatin1String("register"))
        return registerCommand(args, false);
    if (command == QLatin1String("unregister"))
        return registerCommand(args, true);
    if (command == QLatin1String("apply"))
        return applyCommand(args);
    printError(QStringLiteral("unknown command \"%1\"; see zxwizard --help").arg(command));
    return ExitUsage;
}
