#include "WBAS.h"

#include "WizardApi.h"
#include "dbkit/HostDatabase.h"
#include "window/Main.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace zx::WBAS {

std::int32_t CancelCode = 0;
std::int16_t StartCheckMode = 0;

namespace {

std::unique_ptr<ui::Main> g_main;
// An unloaded window waits here until control has left its handlers.
std::unique_ptr<ui::Main> g_unloaded;
wizard::IWizardObserver* g_observer = nullptr;

// A window may not outlive the application it belongs to: a hidden one left
// by a refused or failed run goes with the application.
void releaseWindows() {
    g_main.reset();
    g_unloaded.reset();
}

}  // namespace

ui::Main& MainForm() {
    if (!g_main) {
        static const bool registered = (qAddPostRoutine(releaseWindows), true);
        Q_UNUSED(registered);
        g_main = std::make_unique<ui::Main>();
    }
    return *g_main;
}

ui::Main* MainIfLoaded() {
    return g_main.get();
}

void UnloadMain() {
    if (!g_main)
        return;
    g_main->hide();
    g_unloaded = std::move(g_main);
}

void ReapUnloaded() {
    g_unloaded.reset();
}

int MsgBox(const QString& prompt, int buttons, const QString& title) {
    if (g_observer)
        return g_observer->message(prompt, title, buttons);
    QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                      : g_main.get());
    box.setText(prompt);
    box.setWindowTitle(title);
    box.setStandardButtons(QMessageBox::Ok);
    switch (buttons & 0x70) {
        case 16:
            box.setIcon(QMessageBox::Critical);
            break;
        case 32:
            box.setIcon(QMessageBox::Question);
            break;
        case 48:
            box.setIcon(QMessageBox::Warning);
            break;
        case 64:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    box.exec();
    return 1;  // vbOK
}

void SetObserver(wizard::IWizardObserver* observer) {
    g_observer = observer;
}
wizard::IWizardObserver* Observer() {
    return g_observer;
}

bool IsPeriodClosed(db::HostDatabase& DB, std::uint8_t period, const QString& sys) {
    auto rs = DB.OpenRecordset(QStringLiteral("SELECT * FROM GL_mEnd WHERE iPeriod=") +
                                   QString::number(period) + QStringLiteral(" AND bFlag_") + sys +
                                   QStringLiteral(" <>0"),
                               4);
    const bool closed = rs->RecordCount() > 0;
    rs->Close();
    return closed;
}

}  // namespace zx::WBAS
