#include "PauseInsideSave.h"

#include <QByteArray>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace zx::db {

void pauseInsideSave(int statement) {
    static const QByteArray setting = qgetenv("ZXWIZARD_PAUSE_IN_SAVE");
    const qsizetype colon = setting.indexOf(':');
    bool ok = false;
    if (colon < 0 || setting.left(colon).toInt(&ok) != statement || !ok)
        return;
    const QByteArray fifo = setting.mid(colon + 1);
    struct stat info {};
    if (stat(fifo.constData(), &info) != 0 || !S_ISFIFO(info.st_mode))
        return;
    // Without a reader the open fails at once: nothing is written anywhere.
    const int fd = open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (write(fd, "paused\n", 7) == 7) {
        // No events asked for: poll returns when the reader has gone.
        pollfd reader{fd, 0, 0};
        while (poll(&reader, 1, -1) < 0 && errno == EINTR) {
        }
    }
    close(fd);
}

}  // namespace zx::db
