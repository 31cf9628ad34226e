#pragma once

// The host's handle on the component: created by ProgID, with failed calls
// turned into zx::Error carrying the component's description.

#include "com/ComPtr.h"
#include "wizard/WizardApi.h"

namespace zx::host {

class WizardClient {
public:
    // Creates ZXWizard.Wizard. When the ProgID is not registered, or its
    // library is gone, the library this host was built with is registered
    // first. Throws zx::Error.
    static WizardClient create();
    // Registers the library this host was built with when the ProgID is not
    // registered or its library is gone. Throws zx::Error.
    static void ensureRegistered();

    std::int32_t run(db::HostDatabase& database, const QString& subsystem);
    // Why the last run's save failed (result 1), one line; else empty.
    QString saveFailure() const;
    void setObserver(wizard::IWizardObserver* observer);

    // The component library this host was built with.
    static QString builtLibrary();

private:
    com::ComPtr<wizard::_Wizard> m_wizard;
};

}  // namespace zx::host
