// The component boundary: GUIDs, the registry file, the class factory and
// the honesty of DllCanUnloadNow.

#include "WizardClient.h"
#include "com/ComRegistry.h"
#include "com/ComRuntime.h"
#include "wizard/WizardApi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

using namespace zx::com;

class TestCom : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void guids() {
        const GUID g = zx::wizard::CLSID_Wizard;
        GUID back;
        QVERIFY(GUID::fromString(g.toString(), &back));
        QVERIFY(back == g);
        QVERIFY(GUID::fromString(g.toString().toLower().mid(1, 36), &back));
        QVERIFY(back == g);
        QVERIFY(!GUID::fromString(QStringLiteral("{not-a-guid}"), &back));
        QCOMPARE(g.toString().size(), 38);
    }

    void registry() {
        QTemporaryDir dir;
        ComRegistry registry(dir.filePath(QStringLiteral("sub/registry.ini")));
        QString error;
        QVERIFY(!registry.clsidFromProgId(QStringLiteral("ZXWizard.Wizard")));
        QVERIFY(!registry.registerClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                        QStringLiteral("relative.so"), &error));
        QVERIFY(registry.registerClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                       QStringLiteral("/lib/x.so"), &error));
        QVERIFY(*registry.clsidFromProgId(QStringLiteral("A.B")) == zx::wizard::CLSID_Wizard);
        QCOMPARE(registry.libraryPath(zx::wizard::CLSID_Wizard), QStringLiteral("/lib/x.so"));
        QVERIFY(registry.unregisterClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard, &error));
        QVERIFY(!registry.clsidFromProgId(QStringLiteral("A.B")));
        QVERIFY(registry.libraryPath(zx::wizard::CLSID_Wizard).isEmpty());
        // No temporary files are left beside the registry.
        QCOMPARE(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("registry.ini")});
    }

    void createByProgIdAndUnload() {
        QFile::remove(ComRegistry::defaultPath());
        QString error;
        QCOMPARE(ComRuntime::createInstance(QStringLiteral("ZXWizard.Wizard"),
                                            zx::wizard::IID__Wizard, nullptr, &error),
                 E_POINTER);
        void* object = nullptr;
        QCOMPARE(ComRuntime::createInstance(QStringLiteral("ZXWizard.Wizard"),
                                            zx::wizard::IID__Wizard, &object, &error),
                 REGDB_E_CLASSNOTREG);
        QVERIFY(error.contains(QStringLiteral("not registered")));

        const QString library = zx::host::WizardClient::builtLibrary();
        QVERIFY2(Succeeded(ComRuntime::registerServer(library, &error)), qPrintable(error));
        QCOMPARE(ComRegistry().libraryPath(zx::wizard::CLSID_Wizard), library);

        void* handle = ::dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_NOLOAD);
        QVERIFY(handle);
        auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
        auto getClassObject =
            reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
        QCOMPARE(canUnload(), S_OK);

        auto wizard = ComRuntime::create<zx::wizard::_Wizard>(QStringLiteral("ZXWizard.Wizard"),
                                                              zx::wizard::IID__Wizard, &error);
        QVERIFY2(wizard, qPrintable(error));
        QCOMPARE(canUnload(), S_FALSE);  // a live object
        auto automation =
            wizard.query<zx::wizard::IWizardAutomation>(zx::wizard::IID_IWizardAutomation);
        QVERIFY(automation);
        void* none = nullptr;
        QCOMPARE(wizard->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
        QVERIFY(!none);
        wizard.reset();
        QCOMPARE(canUnload(), S_FALSE);  // the second interface still holds it
        automation.reset();
        QCOMPARE(canUnload(), S_OK);

        ComPtr<IClassFactory> factory;
        QCOMPARE(getClassObject(zx::wizard::IID__Wizard, IID_IClassFactory, factory.outParam()),
                 CLASS_E_CLASSNOTAVAILABLE);
        QCOMPARE(getClassObject(zx::wizard::CLSID_Wizard, IID_IClassFactory, factory.outParam()),
                 S_OK);
        factory->LockServer(true);
        QCOMPARE(canUnload(), S_FALSE);  // a lock
        factory->LockServer(false);
        QCOMPARE(canUnload(), S_OK);
        int outer = 0;
        void* aggregated = nullptr;
        QCOMPARE(factory->CreateInstance(reinterpret_cast<IUnknown*>(&outer),
                                         zx::wizard::IID__Wizard, &aggregated),
                 CLASS_E_NOAGGREGATION);
        factory.reset();
        ::dlclose(handle);

        QVERIFY(Succeeded(ComRuntime::unregisterServer(library, &error)));
        QVERIFY(!ComRegistry().clsidFromProgId(QStringLiteral("ZXWizard.Wizard")));
    }
};

QTEST_GUILESS_MAIN(TestCom)
#include "tst_com.moc"
