#include "ComRuntime.h"

#include "ComRegistry.h"

#include <QFileInfo>
#include <QMap>

#include <dlfcn.h>

namespace zx::com {

namespace {

// Loaded libraries by absolute path.
QMap<QString, void*>& loadedLibraries() {
    static QMap<QString, void*> libraries;
    return libraries;
}

void* loadLibrary(const QString& path, QString* error) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto& libraries = loadedLibraries();
    if (auto it = libraries.find(absolute); it != libraries.end())
        return it.value();
    if (!QFileInfo::exists(absolute)) {
        if (error)
            *error = QStringLiteral("component library not found: %1").arg(absolute);
        return nullptr;
    }
    void* handle = ::dlopen(QFile::encodeName(absolute).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QStringLiteral("cannot load %1: %2")
                         .arg(absolute, QString::fromLocal8Bit(::dlerror()));
        return nullptr;
    }
    libraries.insert(absolute, handle);
    return handle;
}

template <class Fn>
Fn entryPoint(void* handle, const char* name, QString* error) {
    auto fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    if (!fn && error)
        *error = QStringLiteral("the library does not export %1").arg(QLatin1String(name));
    return fn;
}

HRESULT callRegistration(const QString& libraryPath, const char* name, QString* error) {
    // The library's entry point can only say that it failed; say why first.
    if (!ComRegistry().usable(error))
        return SELFREG_E_CLASS;
    void* handle = loadLibrary(libraryPath, error);
    if (!handle)
        return E_FAIL;
    auto fn = entryPoint<DllRegisterServerFn>(handle, name, error);
    if (!fn)
        return E_FAIL;
    ComRegistry::takeLastFailure();
    const HRESULT hr = fn();
    const QString why = ComRegistry::takeLastFailure();
    if (Failed(hr) && error)
        *error = QStringLiteral("%1 failed: %2")
                     .arg(QLatin1String(name), why.isEmpty() ? describeHResult(hr) : why);
    return hr;
}

}  // namespace

HRESULT ComRuntime::createInstance(const QString& progId, const IID& iid, void** object,
                                   QString* error) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const auto registered = ComRegistry::find(progId, error);
    if (!registered)
        return REGDB_E_CLASSNOTREG;
    if (registered->library.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 has no library in %2").arg(progId, registered->registry);
        return REGDB_E_CLASSNOTREG;
    }
    void* handle = loadLibrary(registered->library, error);
    if (!handle)
        return REGDB_E_CLASSNOTREG;
    auto getClassObject = entryPoint<DllGetClassObjectFn>(handle, "DllGetClassObject", error);
    if (!getClassObject)
        return E_FAIL;
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(registered->clsid, IID_IClassFactory, factory.outParam());
    if (Failed(hr)) {
        if (error)
            *error = QStringLiteral("no class factory for %1: %2").arg(progId, describeHResult(hr));
        return hr;
    }
    hr = factory->CreateInstance(nullptr, iid, object);
    if (Failed(hr) && error)
        *error = QStringLiteral("cannot create %1: %2").arg(progId, describeHResult(hr));
    return hr;
}

HRESULT ComRuntime::registerServer(const QString& libraryPath, QString* error) {
    return callRegistration(libraryPath, "DllRegisterServer", error);
}

HRESULT ComRuntime::unregisterServer(const QString& libraryPath, QString* error) {
    return callRegistration(libraryPath, "DllUnregisterServer", error);
}

}  // namespace zx::com
