#pragma once

#include "ComPtr.h"
#include "ComTypes.h"

#include <QString>

namespace zx::com {

// The host side of the component boundary: finds a class by ProgID in the
// class registries (the user's own, then the system's), loads its library
// and asks the library's class factory for an instance. A library stays loaded for the life of the
// process, as the component's Qt types may be referenced until the end.
class ComRuntime {
public:
    static HRESULT createInstance(const QString& progId, const IID& iid, void** object,
                                  QString* error);

    // Loads the library and calls its DllRegisterServer / DllUnregisterServer.
    static HRESULT registerServer(const QString& libraryPath, QString* error);
    static HRESULT unregisterServer(const QString& libraryPath, QString* error);

    template <class T>
    static ComPtr<T> create(const QString& progId, const IID& iid, QString* error) {
        void* object = nullptr;
        if (Failed(createInstance(progId, iid, &object, error)))
            return {};
        return ComPtr<T>::adopt(static_cast<T*>(object));
    }
};

}  // namespace zx::com
