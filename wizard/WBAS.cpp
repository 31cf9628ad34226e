#include "WBAS.h"

#include "WizardView.h"

#include <QCoreApplication>

#include <memory>

namespace zx::WBAS {

namespace {

std::unique_ptr<wizard::WizardView> g_main;

// A window may not outlive the application it belongs to: a hidden one left
// by a refused or failed run goes with the application.
void releaseWindow() {
    g_main.reset();
}

}  // namespace

wizard::WizardView& MainForm(wizard::RunHost& host) {
    if (!g_main) {
        static const bool registered = (qAddPostRoutine(releaseWindow), true);
        Q_UNUSED(registered);
        g_main = host.createWindow();
    }
    return *g_main;
}

wizard::WizardView* MainIfLoaded() {
    return g_main.get();
}

void UnloadMain() {
    g_main.reset();
}

}  // namespace zx::WBAS
