#pragma once

// The one creatable class: runs the wizard for its host, shows or hands to
// the host's observer every message box of its runs, and keeps, for
// IErrorText, why its last call failed or its last save was rolled back.

#include "wizard/Wizard.h"
#include "wizard/WizardApi.h"
#include "wizard/WizardView.h"

#include <atomic>

namespace zx::component {

class WizardObject final : public wizard::_Wizard,
                           public wizard::IErrorText,
                           public wizard::IWizardAutomation,
                           private wizard::RunHost {
public:
    WizardObject();
    ~WizardObject();

    // How many objects are alive in the process (DllCanUnloadNow).
    static long liveObjects();

    com::HRESULT QueryInterface(const com::IID& iid, void** object) override;
    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override;

    com::HRESULT Wizard(db::HostDatabase& DB, QString& cSys, std::int32_t* result) override;
    com::HRESULT GetErrorText(QString* text) override;
    com::HRESULT SetObserver(wizard::IWizardObserver* observer) override;

    // The run state of the last call, for hosts linked with the component.
    const wizard::RunState& state() const { return m_wizard.state(); }

private:
    int MsgBox(const QString& prompt, int buttons, const QString& title) override;
    std::unique_ptr<wizard::WizardView> createWindow() override;
    void modalShown(wizard::WizardView& window) override;

    std::atomic<std::uint32_t> m_refs{1};
    wizard::Wizard m_wizard;
    wizard::IWizardObserver* m_observer = nullptr;
    QString m_error;
};

}  // namespace zx::component
