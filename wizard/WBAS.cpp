#include "WBAS.h"

#include "WizardView.h"

#include <QCoreApplication>

#include <utility>

namespace zx::WBAS {

namespace {

// Not a static object: a process that exits with the window loaded (a lost
// display ends it from inside the event loop) must not destroy widgets after
// their display has gone.
wizard::WizardView* g_main = nullptr;
QString g_account;  // the connection text g_main was made for

// A window may not outlive the application it belongs to: a hidden one left
// by a refused or failed run goes with the application.
void releaseWindow() {
    delete std::exchange(g_main, nullptr);
}

}  // namespace

wizard::WizardView& MainForm(wizard::RunHost& host, const QString& connection) {
    if (g_main && g_account != connection)
        releaseWindow();
    if (!g_main) {
        static const bool registered = (qAddPostRoutine(releaseWindow), true);
        Q_UNUSED(registered);
        g_main = host.createWindow().release();
        g_account = connection;
    }
    return *g_main;
}

wizard::WizardView* MainIfLoaded() {
    return g_main;
}

void UnloadMain() {
    releaseWindow();
}

}  // namespace zx::WBAS
