#include "SqliteLibrary.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <dlfcn.h>
#include <sqlite3.h>

namespace zx::db {

bool usesOurSqlite(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return false;
    void* object = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!object)
        return false;
    // Looked up from that object: its own copy first, then its dependencies.
    const void* theirs = dlsym(object, "sqlite3_libversion_number");
    dlclose(object);
    return theirs == reinterpret_cast<const void*>(&sqlite3_libversion_number);
}

sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QSqlDriver* driver = db.driver();
    const QVariant handle = driver->handle();
    if (!handle.isValid() || !(handle.metaType().flags() & QMetaType::IsPointer))
        return nullptr;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    // The driver's meta-object lives in the driver's own shared object.
    return connection && usesOurSqlite(driver->metaObject()) ? connection : nullptr;
}

}  // namespace zx::db
