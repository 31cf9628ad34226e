// The in-process server: the class factory of the Wizard object and the
// four exported entry points. They carry no wizard logic of their own.

#include "WizardObject.h"
#include "com/ComRegistry.h"

#include <QFileInfo>

#include <dlfcn.h>
#include <atomic>

using namespace zx::com;

namespace zx::component {

namespace {

std::atomic<long> g_serverLocks{0};

class WizardFactory final : public IClassFactory {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static; its references keep nothing alive.
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* created = new WizardObject;
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }
    HRESULT LockServer(bool lock) override {
        lock ? ++g_serverLocks : --g_serverLocks;
        return S_OK;
    }
};

WizardFactory g_factory;

QString thisLibraryPath() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&thisLibraryPath), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

}  // namespace

}  // namespace zx::component

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid,
                                                                 void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(clsid == zx::wizard::CLSID_Wizard))
        return CLASS_E_CLASSNOTAVAILABLE;
    return zx::component::g_factory.QueryInterface(iid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return zx::component::WizardObject::liveObjects() == 0 && zx::component::g_serverLocks == 0
               ? S_OK
               : S_FALSE;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
    const QString path = zx::component::thisLibraryPath();
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    return ComRegistry().registerClass(QString::fromLatin1(zx::wizard::ProgId),
                                       zx::wizard::CLSID_Wizard, path, nullptr)
               ? S_OK
               : SELFREG_E_CLASS;
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
    return ComRegistry().unregisterClass(QString::fromLatin1(zx::wizard::ProgId),
                                         zx::wizard::CLSID_Wizard, zx::component::thisLibraryPath(),
                                         nullptr)
               ? S_OK
               : SELFREG_E_CLASS;
}

}  // extern "C"
