#include "Screenshot.h"

#include "AccountFiles.h"

#include "core/WriteWholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
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
    // By place as well as by identity: a picture named like a journal that
    // does not exist yet would be taken for one by the next open.
    auto place = [](const QString& file) {
        const QFileInfo info(file);
        return QFileInfo(info.absolutePath()).canonicalFilePath() + QLatin1Char('/') +
               info.fileName();
    };
    for (const QString& database : databases) {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            const QString companion = database + QLatin1String(suffix);
            if (sameFile(path, companion) || place(path) == place(companion))
                return QStringLiteral("--screenshot names a database: %1").arg(path);
        }
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
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!window->grab().toImage().save(&buffer, formatOf(path))) {
        *error = QStringLiteral("cannot encode the screenshot %1").arg(path);
        return false;
    }
    QString why;
    if (writeWholeFile(path, encoded, &why))
        return true;
    *error = QStringLiteral("cannot save the screenshot: %1").arg(why);
    return false;
}

}  // namespace zx::host
