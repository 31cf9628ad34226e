#pragma once

// Module WBAS: the process-wide state that the entry, the parameter routines
// and the window share. One thread (the host's) touches it; nothing is locked.

#include <QString>

#include <cstdint>

namespace zx::db {
class HostDatabase;
}
namespace zx::ui {
class Main;
}
namespace zx::wizard {
class IWizardObserver;
}

namespace zx::WBAS {

// 0 while running; 3 after Cancel. The run's result when not 0.
extern std::int32_t CancelCode;
// 0, or the number of the subsystem whose start month must be derived:
// 1 ST, 2 PU, 3 SA, 4 IA.
extern std::int16_t StartCheckMode;

// The one window instance, created on first use.
ui::Main& MainForm();
ui::Main* MainIfLoaded();
// Hides the window and drops the instance; it is destroyed once control has
// left its handlers (ReapUnloaded).
void UnloadMain();
void ReapUnloaded();

// Every message box of the component goes through here, so that an
// observing host records it instead of a user pressing OK.
int MsgBox(const QString& prompt, int buttons, const QString& title);
void SetObserver(wizard::IWizardObserver* observer);
wizard::IWizardObserver* Observer();

// Whether subsystem `sys` has closed `period` in GL_mEnd.
bool IsPeriodClosed(db::HostDatabase& DB, std::uint8_t period, const QString& sys);

}  // namespace zx::WBAS
