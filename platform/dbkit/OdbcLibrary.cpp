#include "OdbcLibrary.h"

#include "core/Error.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <dlfcn.h>

namespace zx::db {

namespace {

using Open = HostDatabase* (*)(const ConnectionText&);

struct Loaded {
    Open open = nullptr;
    QString error;  // why it could not be loaded
};

// The library lies beside the one that holds this code, in the build tree
// and installed alike; never unloaded, as QtSql's drivers cannot be.
Loaded load() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&openOdbcDatabase), &info) || !info.dli_fname)
        return {nullptr, QStringLiteral("cannot tell where the database kit lies")};
    QByteArray path(info.dli_fname);
    path = path.left(path.lastIndexOf('/') + 1) + ZXDBKIT_ODBC_LIBRARY;
    void* library = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    const char* why = nullptr;
    if (library) {
        if (void* entry = dlsym(library, QT_STRINGIFY(ZXDBKIT_ODBC_ENTRY)))
            return {reinterpret_cast<Open>(entry), QString()};
        why = dlerror();
    } else {
        why = dlerror();
    }
    return {nullptr, QStringLiteral("cannot load %1, which ODBC connections need: %2")
                         .arg(QString::fromLocal8Bit(path),
                              QString::fromLocal8Bit(why ? why : "unknown error"))};
}

}  // namespace

std::unique_ptr<HostDatabase> openOdbcDatabase(const ConnectionText& text) {
    static const Loaded loaded = load();
    if (!loaded.open)
        throw Error(loaded.error);
    return std::unique_ptr<HostDatabase>(loaded.open(text));
}

}  // namespace zx::db
