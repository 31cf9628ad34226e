#pragma once

#include "ComPtr.h"
#include "ComTypes.h"

#include <QString>

namespace zx::com {

// The host side of the component boundary: finds a class by ProgID in the
// registry, loads its library and asks the library's class factory for an
// instance. Libraries stay loaded until freeUnusedLibraries() finds them idle.
class ComRuntime {
public:
    static HRESULT createInstance(const QString& progId, const IID& iid, void** object,
                                  QString* error);

    // Loads the library and calls its DllRegisterServer / DllUnregisterServer.
    static HRESULT registerServer(const QString& libraryPath, QString* error);
    static HRESULT unregisterServer(const QString& libraryPath, QString* error);

    // Asks every loaded library's DllCanUnloadNow and unloads those that agree.
    // Returns how many were unloaded.
    static int freeUnusedLibraries();

    template <class T>
    static ComPtr<T> create(const QString& progId, const IID& iid, QString* error) {
        void* object = nullptr;
        if (Failed(createInstance(progId, iid, &object, error)))
            return {};
        return ComPtr<T>::adopt(static_cast<T*>(object));
    }
};

}  // namespace zx::com
