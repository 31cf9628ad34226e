#include "ComRegistry.h"

#include "core/WriteWholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

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

thread_local QString t_lastFailure;

bool fail(QString* error, const QString& why) {
    t_lastFailure = why;
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

using Entries = QMap<QString, QVariant>;

Entries entriesOf(const QSettings& settings) {
    Entries entries;
    for (const QString& key : settings.allKeys())
        entries.insert(key, settings.value(key));
    return entries;
}

// A fresh name beside `path`, so that a rename can replace it.
QString siblingName(const QString& path) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    return file.open() ? file.fileName() : QString();
}

// QSettings writes through a buffered QSaveFile, which on a full disk
// renames a truncated file into place and reports no error. So the change
// is made on a copy, the copy is read back under a name QSettings has not
// cached and compared, and only then renamed over the registry.
bool rewrite(const QString& path, const QByteArray& content,
             const std::function<void(QSettings&)>& change, QString* error) {
    const auto cannot = [&](const QString& why) {
        return fail(error, QStringLiteral("cannot write the class registry %1: %2").arg(path, why));
    };
    const QString edited = siblingName(path), checked = siblingName(path);
    const auto cleanUp = qScopeGuard([&] {
        QFile::remove(edited);
        QFile::remove(checked);
    });
    QString why;
    if (edited.isEmpty() || checked.isEmpty())
        return cannot(QStringLiteral("no temporary file can be made beside it"));
    if (!writeWholeFile(edited, content, &why))
        return cannot(why);
    Entries expected;
    {
        QSettings settings(edited, QSettings::IniFormat);
        change(settings);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return cannot(QStringLiteral("the new contents could not be written"));
        expected = entriesOf(settings);
    }
    QFile result(edited);
    if (!result.open(QIODevice::ReadOnly))
        return cannot(result.errorString());
    if (!writeWholeFile(checked, result.readAll(), &why))
        return cannot(why);
    if (entriesOf(QSettings(checked, QSettings::IniFormat)) != expected)
        return cannot(
            QStringLiteral("the new contents did not read back whole (is the disk full?)"));
    // Temporary files are private; the registry is read by every user.
    const QFileInfo before(path);
    QFile::setPermissions(checked, before.exists() ? before.permissions()
                                                   : QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ReadUser | QFile::WriteUser |
                                                         QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(checked).constData(), QFile::encodeName(path).constData()) !=
        0)
        return cannot(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
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

QString ComRegistry::takeLastFailure() {
    return std::exchange(t_lastFailure, QString());
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
    return read(error).has_value();
}

std::optional<QByteArray> ComRegistry::read(QString* error) const {
    const QFileInfo file(m_path);
    if (!file.exists() && !file.isSymLink())
        return QByteArray();
    // Opening a FIFO or a device could wait for ever or read without end.
    if (!file.isFile()) {
        fail(error, QStringLiteral("the class registry %1 is not a regular file").arg(m_path));
        return std::nullopt;
    }
    QFile registry(m_path);
    if (!registry.open(QIODevice::ReadOnly)) {
        fail(error, QStringLiteral("cannot read the class registry %1: %2")
                        .arg(m_path, registry.errorString()));
        return std::nullopt;
    }
    QByteArray content = registry.readAll();
    if (!parses(content, m_path, error))
        return std::nullopt;
    return content;
}

bool ComRegistry::registerClass(const QString& progId, const CLSID& clsid,
                                const QString& libraryPath, QString* error) {
    const QFileInfo library(libraryPath);
    if (!library.isAbsolute())
        return fail(error, QStringLiteral("library path must be absolute: %1").arg(libraryPath));
    const auto content = read(error);
    if (!content)
        return false;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(error, QStringLiteral("cannot create the folder of %1").arg(m_path));
    return rewrite(
        m_path, *content,
        [&](QSettings& settings) {
            settings.setValue(progIdKey(progId), clsid.toString());
            settings.setValue(serverKey(clsid), library.absoluteFilePath());
            settings.setValue(classProgIdKey(clsid), progId);
        },
        error);
}

bool ComRegistry::unregisterClass(const QString& progId, const CLSID& clsid,
                                  const QString& libraryPath, QString* error) {
    const auto content = read(error);
    if (!content)
        return false;
    if (!QFileInfo::exists(m_path))
        return true;
    // Another library registered since (a site build, a user's own) stays.
    if (!libraryPath.isEmpty() &&
        QSettings(m_path, QSettings::IniFormat).value(serverKey(clsid)).toString() != libraryPath)
        return true;
    return rewrite(
        m_path, *content,
        [&](QSettings& settings) {
            settings.remove(QStringLiteral("ProgID/%1").arg(progId));
            settings.remove(QStringLiteral("CLSID/%1").arg(clsid.toString()));
        },
        error);
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
