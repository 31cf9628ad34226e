#include "CommandLine.h"

#include "AccountFiles.h"
#include "Commands.h"
#include "TerminalText.h"
#include "core/FakeArgv.h"

#include <QApplication>
#include <QFileInfo>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstdio>

namespace zx::host {

void printError(const QString& message) {
    std::fprintf(stderr, "zxwizard: %s\n", escapedForTerminal(message).toLocal8Bit().constData());
}

bool AccountOptions::consistent(const QCommandLineParser& parser) const {
    if (!parser.isSet(systemDb))
        return true;
    for (const QString& account : parser.values(db)) {
        if (sameFile(account, parser.value(systemDb))) {
            printError(QStringLiteral("--system-db names the account database itself: %1")
                           .arg(parser.value(systemDb)));
            return false;
        }
    }
    return true;
}

std::unique_ptr<QApplication> widgetApplication() {
    return std::make_unique<QApplication>(fakeArgc(), fakeArgv());
}

std::optional<QString> subsystemCode(const QString& given) {
    // ASCII only: Unicode upper-casing would turn "ſt" into ST.
    bool ascii = true;
    for (const QChar c : given)
        ascii = ascii && c.unicode() < 0x80;
    const QString code = ascii ? given.toUpper() : QString();
    for (const char* known : {"ST", "PU", "SA", "IA", "AA"})
        if (code == QLatin1String(known))
            return code;
    printError(QStringLiteral("unknown subsystem \"%1\": --sys takes ST, PU, SA, IA, or AA for the "
                              "common parameters alone")
                   .arg(given));
    return std::nullopt;
}

bool parseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int* exit, const QStringList& repeatable) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("zxwizard ") + command} + args)) {
        printError(parser.errorText());
        *exit = ExitUsage;
        return false;
    }
    for (const QString& name : parser.optionNames()) {
        // The last of two --db options would win silently: a slip would set
        // up another account than the one the user read first.
        if (parser.values(name).size() > 1 && !repeatable.contains(name)) {
            printError(QStringLiteral("--%1 is given more than once").arg(name));
            *exit = ExitUsage;
            return false;
        }
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

namespace {

// An X server on this machine listens on /tmp/.X11-unix/X<n>; a remote one
// is given the benefit of the doubt.
bool xDisplayAccepts() {
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return false;
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

}  // namespace

bool displayAvailable() {
    const QString chosen = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (chosen.isEmpty())
        return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || xDisplayAccepts();
    // Qt takes the first platform of the list that loads; one that loads
    // without a screen shows nothing to anybody.
    for (const QString& entry : chosen.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString platform = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (platform == QLatin1String("offscreen") || platform.startsWith(QLatin1String("minimal")))
            return false;
        if (platform == QLatin1String("xcb")) {
            if (xDisplayAccepts())
                return true;
        } else if (platform.startsWith(QLatin1String("wayland"))) {
            if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                return true;
        } else {
            return true;  // a framebuffer, a VNC server: a screen somebody watches
        }
    }
    return false;
}

}  // namespace zx::host
