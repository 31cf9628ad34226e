// The component boundary: GUIDs, the registry file, the class factory and
// the honesty of DllCanUnloadNow.

#include "WizardClient.h"
#include "com/ComRegistry.h"
#include "com/ComRuntime.h"
#include "wizard/WizardApi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zx::com;

class TestCom : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase() {
        // Whoever runs this, the user's own registry is never touched, and
        // no system registry counts.
        qputenv("ZXCOM_REGISTRY", m_home.filePath(QStringLiteral("registry.ini")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", m_home.path().toLocal8Bit());
    }

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
        QVERIFY(registry.unregisterClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                         QStringLiteral("/lib/other.so"), &error));
        QVERIFY(registry.clsidFromProgId(QStringLiteral("A.B")));  // another library's stays
        QVERIFY(registry.unregisterClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                         QStringLiteral("/lib/x.so"), &error));
        QVERIFY(!registry.clsidFromProgId(QStringLiteral("A.B")));
        QVERIFY(registry.libraryPath(zx::wizard::CLSID_Wizard).isEmpty());
        // No temporary files are left beside the registry.
        QCOMPARE(QDir(dir.filePath(QStringLiteral("sub"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("registry.ini")});
    }

    // A registry that is not a readable INI file is an error, read or
    // written, and stays exactly what it was.
    void registryThatCannotBeUsed_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("why");
        const char* const rows[][3] = {{"fifo", "fifo", "not a regular file"},
                                       {"folder", "folder", "not a regular file"},
                                       {"garbage line",
                                        "[ProgID]\nA.B\\CLSID={5B1C7E42-9A3D-4F18-A62E-"
                                        "710C4D93B815}\n\n; note\nnot a setting\n",
                                        "line 5"},
                                       {"binary",
                                        "\x7f"
                                        "ELF\x02\x01",
                                        "line 1"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[1]) << QString::fromLatin1(r[2]);
    }
    void registryThatCannotBeUsed() {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.ini"));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind.toLatin1());
        }
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        ComRegistry registry(path);
        QString error;
        QVERIFY(!registry.clsidFromProgId(QStringLiteral("A.B"), &error));
        QVERIFY2(error.contains(why), qPrintable(error));
        error.clear();
        QVERIFY(!registry.registerClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                        QStringLiteral("/lib/x.so"), &error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QVERIFY(
            !registry.unregisterClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard, {}, &error));
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_size, before.st_size);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("registry.ini")});
    }

    // A disk that cannot take the new registry whole (here the file-size
    // limit, at the copy or at the rewrite) leaves the old one as it was.
    void registryOnAFullDisk() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.ini"));
        QByteArray old;
        for (int i = 0; i < 60; ++i)
            old += "[Other" + QByteArray::number(i) + "]\nlibrary=/usr/lib/libother.so\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        file.close();
        std::signal(SIGXFSZ, SIG_IGN);
        for (const qsizetype limit : {old.size() / 2, old.size()}) {
            rlimit saved{};
            ::getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = rlim_t(limit);
            ::setrlimit(RLIMIT_FSIZE, &small);
            QString error;
            const bool registered =
                ComRegistry(path).registerClass(QStringLiteral("A.B"), zx::wizard::CLSID_Wizard,
                                                QStringLiteral("/lib/x.so"), &error);
            ::setrlimit(RLIMIT_FSIZE, &saved);
            QVERIFY(!registered);
            QVERIFY2(error.startsWith("cannot write the class registry"), qPrintable(error));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), old);
            file.close();
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"registry.ini"});
        }
    }

    // A host reads the user's registry, then each system one in turn; a
    // damaged registry before the one that names the class is an error.
    void searchOrder_data() {
        QTest::addColumn<QString>("user");    // a library, "other" for another ProgID, or none
        QTest::addColumn<QString>("system");  // a library, "garbage", or none
        QTest::addColumn<QString>("found");   // the library found, or a part of the error
        const struct {
            const char *name, *user, *system, *found;
        } rows[] = {
            {"user's first", "/u.so", "/s.so", "/u.so"},
            {"system's", "", "/s.so", "/s.so"},
            {"user's names another", "other", "/s.so", "/s.so"},
            {"none", "", "", "not registered"},
            {"damaged, not read", "/u.so", "garbage", "/u.so"},
            {"damaged, read", "", "garbage", "cannot be read"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromUtf8(row.user) << QString::fromUtf8(row.system)
                                    << QString::fromUtf8(row.found);
    }
    void searchOrder() {
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(QString, found);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("none")) + ':' +
                                                     dir.filePath(QStringLiteral("sys"))));
        QFile::remove(ComRegistry::defaultPath());
        const QString systemPath = dir.filePath(QStringLiteral("sys/zxcom/registry.ini"));
        QCOMPARE(ComRegistry::searchPath().last(), systemPath);
        const QString progId = QStringLiteral("A.B");
        if (!user.isEmpty())
            QVERIFY(ComRegistry().registerClass(user == "other" ? QStringLiteral("C.D") : progId,
                                                zx::wizard::CLSID_Wizard,
                                                user == "other" ? "/o.so" : user, nullptr));
        if (system == "garbage") {
            QVERIFY(QDir().mkpath(QFileInfo(systemPath).path()));
            QFile file(systemPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("garbage\n");
        } else if (!system.isEmpty()) {
            QVERIFY(ComRegistry(systemPath)
                        .registerClass(progId, zx::wizard::CLSID_Wizard, system, nullptr));
        }
        QString error;
        const auto registered = ComRegistry::find(progId, &error);
        QCOMPARE(registered ? registered->library : error.contains(found) ? found : error, found);
        qputenv("XDG_CONFIG_DIRS", m_home.path().toLocal8Bit());
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
