#pragma once

#include "ComTypes.h"

#include <QString>

#include <optional>

namespace zx::com {

// The class registry: ProgID -> CLSID -> absolute library path, kept in an
// INI file that is rewritten atomically on every change. A registry that is
// not a regular file, or that has a line which is not a section, a setting
// or a comment, is an error for every operation and is never rewritten.
class ComRegistry {
public:
    // $ZXCOM_REGISTRY, else $XDG_CONFIG_HOME/zxcom/registry.ini, else
    // ~/.config/zxcom/registry.ini.
    static QString defaultPath();

    explicit ComRegistry(QString path = defaultPath());

    const QString& path() const { return m_path; }

    // Whether the registry can be read and rewritten; a missing file can.
    bool usable(QString* error) const;

    bool registerClass(const QString& progId, const CLSID& clsid, const QString& libraryPath,
                       QString* error);
    bool unregisterClass(const QString& progId, const CLSID& clsid, QString* error);

    // nullopt, or an empty path, when the class is not registered or the
    // registry is not usable (then *error says why).
    std::optional<CLSID> clsidFromProgId(const QString& progId, QString* error = nullptr) const;
    QString libraryPath(const CLSID& clsid, QString* error = nullptr) const;

    // Both at one reading of the file: what creating an object needs.
    struct Server {
        CLSID clsid;
        QString libraryPath;  // empty when the class names none
    };
    std::optional<Server> serverOf(const QString& progId, QString* error = nullptr) const;

private:
    QString m_path;
};

}  // namespace zx::com
