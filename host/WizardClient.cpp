#include "WizardClient.h"

#include "com/ComRegistry.h"
#include "com/ComRuntime.h"
#include "core/Error.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace zx::host {

QString WizardClient::builtLibrary() {
    // Beside the host in an installed layout; else where the build put it.
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/libzxwizard.so");
    if (QFileInfo::exists(beside))
        return beside;
    return QStringLiteral(ZXWIZARD_LIBRARY);
}

void WizardClient::ensureRegistered() {
    const QString progId = QString::fromLatin1(wizard::ProgId);
    const com::ComRegistry registry;
    const auto clsid = registry.clsidFromProgId(progId);
    if (!clsid || !QFileInfo::exists(registry.libraryPath(*clsid))) {
        QString error;
        if (com::Failed(com::ComRuntime::registerServer(builtLibrary(), &error)))
            throw Error(QStringLiteral("cannot register %1: %2").arg(progId, error));
    }
}

WizardClient WizardClient::create() {
    ensureRegistered();
    const QString progId = QString::fromLatin1(wizard::ProgId);
    QString error;
    WizardClient client;
    client.m_wizard = com::ComRuntime::create<wizard::_Wizard>(progId, wizard::IID__Wizard, &error);
    if (!client.m_wizard)
        throw Error(error);
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
