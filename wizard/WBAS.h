#pragma once

// Module WBAS: the one window of the process. It outlives a run that is
// refused or fails, so that the next run reuses it as it was; Finish and
// Cancel unload it.

namespace zx::wizard {
class RunHost;
class WizardView;
}  // namespace zx::wizard

namespace zx::WBAS {

// The window instance, made through `host` on first use.
wizard::WizardView& MainForm(wizard::RunHost& host);
wizard::WizardView* MainIfLoaded();
// Destroys the instance; the next run makes a new one.
void UnloadMain();

}  // namespace zx::WBAS
