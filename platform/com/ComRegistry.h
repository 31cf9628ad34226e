#pragma once

#include "ComTypes.h"

#include <QString>

#include <optional>

namespace zx::com {

// The class registry: ProgID -> CLSID -> absolute library path, kept in an
// INI file that is rewritten atomically on every change.
class ComRegistry {
public:
    // $ZXCOM_REGISTRY, else $XDG_CONFIG_HOME/zxcom/registry.ini, else
    // ~/.config/zxcom/registry.ini.
    static QString defaultPath();

    explicit ComRegistry(QString path = defaultPath());

    const QString& path() const { return m_path; }

    bool registerClass(const QString& progId, const CLSID& clsid, const QString& libraryPath,
                       QString* error);
    bool unregisterClass(const QString& progId, const CLSID& clsid, QString* error);

    std::optional<CLSID> clsidFromProgId(const QString& progId) const;
    QString libraryPath(const CLSID& clsid) const;

private:
    QString m_path;
};

}  // namespace zx::com
