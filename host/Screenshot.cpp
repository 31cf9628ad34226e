#include "Screenshot.h"

#include "AccountFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QWidget>

namespace zx::host {

namespace {

const char* formatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return "PNG";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "JPEG";
    return nullptr;
}

}  // namespace

QString Screenshot::refusal(const QString& path, const QStringList& databases) {
    if (!formatOf(path))
        return QStringLiteral("--screenshot takes a .png or .jpg file: %1").arg(path);
    const QFileInfo target(path);
    for (const QString& database : databases) {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            if (sameFile(path, database + QLatin1String(suffix)))
                return QStringLiteral("--screenshot names a database: %1").arg(path);
    }
    if ((target.exists() || target.isSymLink()) && !target.isFile())
        return QStringLiteral("--screenshot names something that is not a regular file: %1")
            .arg(path);
    QTemporaryFile probe(target.absolutePath() + QStringLiteral("/.zxwizard-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("cannot write a picture in %1: %2")
            .arg(target.absolutePath(), probe.errorString());
    return {};
}

bool Screenshot::save(QWidget* window, const QString& path, QString* error) {
    QSaveFile file(path);
    const QImage picture = window->grab().toImage();
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, formatOf(path)) ||
        !file.commit()) {
        *error = QStringLiteral("cannot save the screenshot %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace zx::host
