#include "Display.h"

#include <QStringList>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstdio>

namespace zx {

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

}  // namespace zx
