#include "WizardClient.h"

#include "com/ComRegistry.h"
#include "com/ComRuntime.h"
#include "core/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zx::host {

QString WizardClient::builtLibrary() {
    // Installed, the component lives in the library folder, at the same
    // place relative to the command whatever the prefix; in a build tree,
    // where the build put it.
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" ZXWIZARD_INSTALLED_LIBRARY);
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return QStringLiteral(ZXWIZARD_LIBRARY);
}

namespace {

// Registers the library this host was built with when the ProgID is not
// registered or its library is gone; true when it did.
bool registerWhenMissing() {
    const QString progId = QString::fromLatin1(wizard::ProgId);
    const auto registered = com::ComRegistry::find(progId, nullptr);
    if (registered && QFileInfo::exists(registered->library))
        return false;
    QString error;
    if (com::Failed(com::ComRuntime::registerServer(WizardClient::builtLibrary(), &error)))
        throw Error(QStringLiteral("cannot register %1: %2").arg(progId, error));
    return true;
}

}  // namespace

void WizardClient::ensureRegistered() {
    registerWhenMissing();
}

WizardClient WizardClient::create() {
    const QString progId = QString::fromLatin1(wizard::ProgId);
    // A registered class costs one reading of the registry; only a failure
    // asks whether registering would help.
    QString error;
    void* object = nullptr;
    com::HRESULT hr = com::ComRuntime::createInstance(progId, wizard::IID__Wizard, &object, &error);
    if (hr == com::REGDB_E_CLASSNOTREG && registerWhenMissing())
        hr = com::ComRuntime::createInstance(progId, wizard::IID__Wizard, &object, &error);
    if (com::Failed(hr))
        throw Error(error);
    WizardClient client;
    client.m_wizard = com::ComPtr<wizard::_Wizard>::adopt(static_cast<wizard::_Wizard*>(object));
    return client;
}

std::int32_t WizardClient::run(db::HostDatabase& database, const QString& subsystem) {
    QString cSys = subsystem;
    std::int32_t result = 0;
    const com::HRESULT hr = m_wizard->Wizard(database, cSys, &result);
    if (com::Succeeded(hr))
        return result;
    QString description;
    if (auto errorText = m_wizard.query<wizard::IErrorText>(wizard::IID_IErrorText))
        errorText->GetErrorText(&description);
    throw Error(description.isEmpty() ? com::describeHResult(hr) : description);
}

QString WizardClient::saveFailure() const {
    QString reason;
    if (auto errorText = m_wizard.query<wizard::IErrorText>(wizard::IID_IErrorText))
        errorText->GetErrorText(&reason);
    // One line whatever the component says: the reason goes into one event
    // and one line of stderr.
    return reason.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

void WizardClient::setObserver(wizard::IWizardObserver* observer) {
    if (auto automation = m_wizard.query<wizard::IWizardAutomation>(wizard::IID_IWizardAutomation))
        automation->SetObserver(observer);
}

}  // namespace zx::host
