#pragma once

#include "ComTypes.h"

#include <QString>

#include <optional>

namespace zx::com {

// The class registry: ProgID -> CLSID -> absolute library path, kept in an
// INI file that is rewritten atomically on every change. A registry that is
// not a regular file, or that has a line which is not a section, a setting
// or a comment, is an error for every operation and is never rewritten.
//
// A host reads the user's own registry first, then the system's, where a
// package registers what it installs: a user can point a ProgID at another
// build without touching the system.
class ComRegistry {
public:
    // The user's own: $ZXCOM_REGISTRY, else $XDG_CONFIG_HOME/zxcom/registry.ini,
    // else ~/.config/zxcom/registry.ini.
    static QString defaultPath();
    // The user's own, then zxcom/registry.ini in each folder of
    // $XDG_CONFIG_DIRS (default /etc/xdg), in the order a host reads them.
    static QStringList searchPath();

    // Why the last change of a registry on this thread failed. A library's
    // DllRegisterServer can return only an HRESULT; its caller shares this
    // library and reads the reason here, which clears it.
    static QString takeLastFailure();

    struct Class {
        CLSID clsid;
        QString library;   // empty when the registry names no library for it
        QString registry;  // the registry that named the ProgID
    };
    // The class from the first registry on the search path that names
    // progId. nullopt when none does (*error says where it looked), or when
    // a registry read before the one that names it is not usable (*error
    // says why): a damaged registry is never skipped.
    static std::optional<Class> find(const QString& progId, QString* error);

    explicit ComRegistry(QString path = defaultPath());

    const QString& path() const { return m_path; }

    // Whether the registry can be read and rewritten; a missing file can.
    bool usable(QString* error) const;

    bool registerClass(const QString& progId, const CLSID& clsid, const QString& libraryPath,
                       QString* error);
    // Only while the class names `libraryPath`, when one is given.
    bool unregisterClass(const QString& progId, const CLSID& clsid, const QString& libraryPath,
                         QString* error);

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
    // The registry's bytes, empty when there is no file; nullopt when it
    // is not usable.
    std::optional<QByteArray> read(QString* error) const;

    QString m_path;
};

}  // namespace zx::com
