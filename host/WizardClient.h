#pragma once

// The host's handle on the component: created by ProgID, with failed calls
// turned into zx::Error carrying the component's description.

#include "com/ComPtr.h"
#include "wizard/WizardApi.h"

namespace zx::host {

class WizardClient {
public:
    // Creates ZXWizard.Wizard. When no registry names the ProgID, or its
    // library is gone, the library this host was built with is registered
    // in the user's own registry first. Throws zx::Error.
    static WizardClient create();
    // Registers the library this host was built with when no registry names
    // the ProgID or its library is gone. Throws zx::Error.
    static void ensureRegistered();

    std::int32_t run(db::HostDatabase& database, const QString& subsystem);
    // Why the last run's save failed (result 1), one line; else empty.
    QString saveFailure() const;
    void setObserver(wizard::IWizardObserver* observer);

    // The component library this host was built with: the installed one
    // when the host is installed, else the one in its build tree.
    static QString builtLibrary();

private:
    com::ComPtr<wizard::_Wizard> m_wizard;
};

}  // namespace zx::host
