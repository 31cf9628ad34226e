#include "ComRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace zx::com {

namespace {

QString progIdKey(const QString& progId) {
    return QStringLiteral("ProgID/%1/CLSID").arg(progId);
}
QString serverKey(const CLSID& clsid) {
    return QStringLiteral("CLSID/%1/InprocServer32").arg(clsid.toString());
}
QString classProgIdKey(const CLSID& clsid) {
    return QStringLiteral("CLSID/%1/ProgID").arg(clsid.toString());
}

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// QSettings reads past lines it does not understand; a registry edited by
// hand into something else must be reported, not half read and rewritten.
bool parses(const QByteArray& content, const QString& path, QString* error) {
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        const bool fine = line.isEmpty() || line.startsWith(';') ||
                          (line.startsWith('[') && line.endsWith(']')) ||
                          (line.indexOf('=') > 0 && !line.contains('\0'));
        if (!fine)
            return fail(error, QStringLiteral("the class registry %1 cannot be read: line %2 is "
                                              "not a [section], a key=value or a ; comment")
                                   .arg(path)
                                   .arg(n + 1));
    }
    return true;
}

bool finish(QSettings& settings, QString* error) {
    // QSettings writes through a temporary file and renames it, so a reader
    // never sees half a registry.
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    return fail(error,
                QStringLiteral("cannot write the class registry %1").arg(settings.fileName()));
}

}  // namespace

QString ComRegistry::defaultPath() {
    const QString explicitPath = qEnvironmentVariable("ZXCOM_REGISTRY");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/zxcom/registry.ini");
}

QStringList ComRegistry::searchPath() {
    QStringList paths{defaultPath()};
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))  // relative entries are ignored, as everywhere in XDG
            paths << dir + QStringLiteral("/zxcom/registry.ini");
    return paths;
}

std::optional<ComRegistry::Class> ComRegistry::find(const QString& progId, QString* error) {
    const QStringList paths = searchPath();
    for (const QString& path : paths) {
        const ComRegistry registry(path);
        QString unusable;
        const auto server = registry.serverOf(progId, &unusable);
        if (!unusable.isEmpty()) {
            fail(error, unusable);
            return std::nullopt;
        }
        if (server)
            return Class{server->clsid, server->libraryPath, path};
    }
    fail(error, QStringLiteral("%1 is not registered in %2")
                    .arg(progId, paths.join(QLatin1String(" or "))));
    return std::nullopt;
}

ComRegistry::ComRegistry(QString path) : m_path(std::move(path)) {}

bool ComRegistry::usable(QString* error) const {
    const QFileInfo file(m_path);
    if (!file.exists() && !file.isSymLink())
        return true;
    // Opening a FIFO or a device could wait for ever or read without end.
    if (!file.isFile())
        return fail(error,
                    QStringLiteral("the class registry %1 is not a regular file").arg(m_path));
    QFile registry(m_path);
    if (!registry.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot read the class registry %1: %2")
                               .arg(m_path, registry.errorString()));
    return parses(registry.readAll(), m_path, error);
}

bool ComRegistry::registerClass(const QString& progId, const CLSID& clsid,
                                const QString& libraryPath, QString* error) {
    const QFileInfo library(libraryPath);
    if (!library.isAbsolute())
        return fail(error, QStringLiteral("library path must be absolute: %1").arg(libraryPath));
    if (!usable(error))
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(error, QStringLiteral("cannot create the folder of %1").arg(m_path));
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(progIdKey(progId), clsid.toString());
    settings.setValue(serverKey(clsid), library.absoluteFilePath());
    settings.setValue(classProgIdKey(clsid), progId);
    return finish(settings, error);
}

bool ComRegistry::unregisterClass(const QString& progId, const CLSID& clsid, QString* error) {
    if (!usable(error))
        return false;
    if (!QFileInfo::exists(m_path))
        return true;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.remove(QStringLiteral("ProgID/%1").arg(progId));
    settings.remove(QStringLiteral("CLSID/%1").arg(clsid.toString()));
    return finish(settings, error);
}

std::optional<CLSID> ComRegistry::clsidFromProgId(const QString& progId, QString* error) const {
    const auto server = serverOf(progId, error);
    return server ? std::optional<CLSID>(server->clsid) : std::nullopt;
}

std::optional<ComRegistry::Server> ComRegistry::serverOf(const QString& progId,
                                                         QString* error) const {
    if (!usable(error) || !QFileInfo::exists(m_path))
        return std::nullopt;
    const QSettings settings(m_path, QSettings::IniFormat);
    Server server;
    if (!GUID::fromString(settings.value(progIdKey(progId)).toString(), &server.clsid))
        return std::nullopt;
    server.libraryPath = settings.value(serverKey(server.clsid)).toString();
    return server;
}

QString ComRegistry::libraryPath(const CLSID& clsid, QString* error) const {
    if (!usable(error) || !QFileInfo::exists(m_path))
        return {};
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(serverKey(clsid)).toString();
}

}  // namespace zx::com
