#pragma once

// Module WBAS: the one window of the process. It outlives a run that is
// refused or fails, so that the next run on the same account reuses it as it
// was; Finish and Cancel unload it.

#include <QString>

namespace zx::wizard {
class RunHost;
class WizardView;
}  // namespace zx::wizard

namespace zx::WBAS {

// The window instance for a run on the account that `connection` (its
// connection text) names: the loaded one when it was loaded for that
// account, else a new one made through `host`. A window kept by a run on
// another account shows what that account's loads and checks decided, which
// must not reach this account's save.
wizard::WizardView& MainForm(wizard::RunHost& host, const QString& connection);
wizard::WizardView* MainIfLoaded();
// Destroys the instance; the next run makes a new one.
void UnloadMain();

}  // namespace zx::WBAS
