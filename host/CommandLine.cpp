#include "CommandLine.h"

#include "Commands.h"

#include <QFileInfo>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstdio>

namespace zx::host {

void printError(const QString& message) {
    std::fprintf(stderr, "zxwizard: %s\n", message.toLocal8Bit().constData());
}

bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("zxwizard ") + command} + args)) {
        printError(parser.errorText());
        *exit = ExitUsage;
        return false;
    }
    if (parser.isSet(help)) {
        // Qt's first line names the program file; ours names the command.
        QString text = parser.helpText();
        const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
        const QString usage = text.left(firstLineEnd);
        const qsizetype options = usage.indexOf(QLatin1String(" [options]"));
        text = QStringLiteral("Usage: zxwizard ") + command + usage.mid(options) +
               text.mid(firstLineEnd);
        std::fputs(text.toLocal8Bit().constData(), stdout);
        *exit = ExitOk;
        return false;
    }
    return true;
}

bool displayAvailable() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return false;
    // A local X server listens on /tmp/.X11-unix/X<n>; a remote one is
    // given the benefit of the doubt.
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    const QString host = display.left(colon);
    if (colon < 0 || !(host.isEmpty() || host == QLatin1String("unix")))
        return true;
    const QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    const QByteArray path = QStringLiteral("/tmp/.X11-unix/X%1").arg(number).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace zx::host
