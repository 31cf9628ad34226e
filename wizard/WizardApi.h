#pragma once

// The component's public face: its class and interface identifiers, the
// default interface _Wizard with its one operation, and the automation hook
// through which a host can record message boxes and drive the window.

#include "com/ComTypes.h"
#include "dbkit/HostDatabase.h"

#include <QString>

#include <cstdint>

class QDialog;

namespace zx::wizard {

inline constexpr const char* ProgId = "ZXWizard.Wizard";

inline constexpr com::CLSID CLSID_Wizard{
    0x5B1C7E42, 0x9A3D, 0x4F18, {0xA6, 0x2E, 0x71, 0x0C, 0x4D, 0x93, 0xB8, 0x15}};
inline constexpr com::IID IID__Wizard{
    0x5B1C7E43, 0x9A3D, 0x4F18, {0xA6, 0x2E, 0x71, 0x0C, 0x4D, 0x93, 0xB8, 0x15}};
inline constexpr com::IID IID_IErrorText{
    0x5B1C7E44, 0x9A3D, 0x4F18, {0xA6, 0x2E, 0x71, 0x0C, 0x4D, 0x93, 0xB8, 0x15}};
inline constexpr com::IID IID_IWizardAutomation{
    0x5B1C7E45, 0x9A3D, 0x4F18, {0xA6, 0x2E, 0x71, 0x0C, 0x4D, 0x93, 0xB8, 0x15}};

struct _Wizard : com::IUnknown {
    // Runs the wizard for subsystem cSys on the host's database. On S_OK
    // *result is 0 written, 1 failed and rolled back, 2 refused, 3 cancelled.
    // A failure outside the save fails the call; IErrorText describes it.
    virtual com::HRESULT Wizard(db::HostDatabase& DB, QString& cSys, std::int32_t* result) = 0;

protected:
    ~_Wizard() = default;
};

// Why the last call on this object failed, or, when it returned result 1,
// why its save was rolled back: one line, passwords masked. Empty after a
// call that returned 0, 2 or 3.
struct IErrorText : com::IUnknown {
    virtual com::HRESULT GetErrorText(QString* text) = 0;

protected:
    ~IErrorText() = default;
};

// What a host sees of a run when it observes it instead of a user.
class IWizardObserver {
public:
    // Called for every message box instead of showing it; the return value
    // is the button pressed (1 = OK).
    virtual int message(const QString& text, const QString& title, int flags) = 0;
    // Called once the modal window is on screen, inside its modal display.
    virtual void modalShown(QDialog* window) = 0;

protected:
    ~IWizardObserver() = default;
};

struct IWizardAutomation : com::IUnknown {
    // nullptr restores real message boxes. The observer must outlive the
    // runs it observes.
    virtual com::HRESULT SetObserver(IWizardObserver* observer) = 0;

protected:
    ~IWizardAutomation() = default;
};

}  // namespace zx::wizard
