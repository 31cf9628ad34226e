#include "ComRegistry.h"

#include <QDir>
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

bool finish(QSettings& settings, QString* error) {
    // QSettings writes through a temporary file and renames it, so a reader
    // never sees half a registry.
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error)
        *error = QStringLiteral("cannot write the class registry %1").arg(settings.fileName());
    return false;
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

ComRegistry::ComRegistry(QString path) : m_path(std::move(path)) {}

bool ComRegistry::registerClass(const QString& progId, const CLSID& clsid,
                                const QString& libraryPath, QString* error) {
    const QFileInfo library(libraryPath);
    if (!library.isAbsolute()) {
        if (error)
            *error = QStringLiteral("library path must be absolute: %1").arg(libraryPath);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(m_path);
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(progIdKey(progId), clsid.toString());
    settings.setValue(serverKey(clsid), library.absoluteFilePath());
    settings.setValue(classProgIdKey(clsid), progId);
    return finish(settings, error);
}

bool ComRegistry::unregisterClass(const QString& progId, const CLSID& clsid, QString* error) {
    if (!QFileInfo::exists(m_path))
        return true;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.remove(QStringLiteral("ProgID/%1").arg(progId));
    settings.remove(QStringLiteral("CLSID/%1").arg(clsid.toString()));
    return finish(settings, error);
}

std::optional<CLSID> ComRegistry::clsidFromProgId(const QString& progId) const {
    if (!QFileInfo::exists(m_path))
        return std::nullopt;
    const QSettings settings(m_path, QSettings::IniFormat);
    CLSID clsid;
    if (!GUID::fromString(settings.value(progIdKey(progId)).toString(), &clsid))
        return std::nullopt;
    return clsid;
}

QString ComRegistry::libraryPath(const CLSID& clsid) const {
    if (!QFileInfo::exists(m_path))
        return {};
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(serverKey(clsid)).toString();
}

}  // namespace zx::com
