// The in-process server: the Wizard COM object, its class factory and the
// four exported entry points. They carry no wizard logic of their own.

#include "WBAS.h"
#include "Wizard.h"
#include "WizardApi.h"
#include "com/ComRegistry.h"
#include "core/Error.h"

#include <QFileInfo>

#include <dlfcn.h>
#include <atomic>

using namespace zx::com;

namespace zx::wizard {

namespace {

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

class WizardObject final : public _Wizard, public IErrorText, public IWizardAutomation {
public:
    WizardObject() { ++g_liveObjects; }
    ~WizardObject() { --g_liveObjects; }

    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID__Wizard)
            *object = static_cast<_Wizard*>(this);
        else if (iid == IID_IErrorText)
            *object = static_cast<IErrorText*>(this);
        else if (iid == IID_IWizardAutomation)
            *object = static_cast<IWizardAutomation*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override {
        const std::uint32_t left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT Wizard(db::HostDatabase& DB, QString& cSys, std::int32_t* result) override {
        if (!result)
            return E_POINTER;
        m_error.clear();
        try {
            *result = m_wizard.Run(DB, cSys);
            if (*result == 1)
                m_error = m_wizard.SaveFailure;
            return S_OK;
        } catch (const std::exception& error) {
            m_error = QString::fromUtf8(error.what());
        } catch (...) {
            m_error = QStringLiteral("unknown failure");
        }
        return DISP_E_EXCEPTION;
    }

    HRESULT GetErrorText(QString* text) override {
        if (!text)
            return E_POINTER;
        *text = m_error;
        return S_OK;
    }

    HRESULT SetObserver(IWizardObserver* observer) override {
        WBAS::SetObserver(observer);
        return S_OK;
    }

private:
    std::atomic<std::uint32_t> m_refs{1};
    zx::wizard::Wizard m_wizard;
    QString m_error;
};

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

}  // namespace zx::wizard

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid,
                                                                 void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(clsid == zx::wizard::CLSID_Wizard))
        return CLASS_E_CLASSNOTAVAILABLE;
    return zx::wizard::g_factory.QueryInterface(iid, object);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return zx::wizard::g_liveObjects == 0 && zx::wizard::g_serverLocks == 0 ? S_OK : S_FALSE;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
    const QString path = zx::wizard::thisLibraryPath();
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    return ComRegistry().registerClass(QString::fromLatin1(zx::wizard::ProgId),
                                       zx::wizard::CLSID_Wizard, path, nullptr)
               ? S_OK
               : SELFREG_E_CLASS;
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
    return ComRegistry().unregisterClass(QString::fromLatin1(zx::wizard::ProgId),
                                         zx::wizard::CLSID_Wizard, nullptr)
               ? S_OK
               : SELFREG_E_CLASS;
}

}  // extern "C"
