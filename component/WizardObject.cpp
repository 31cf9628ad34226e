#include "WizardObject.h"

#include "core/Display.h"
#include "core/Error.h"
#include "core/FakeArgv.h"
#include "dbkit/ConnectionText.h"
#include "window/Main.h"
#include "window/MessageBox.h"

#include <QApplication>
#include <QScopeGuard>
#include <QThread>

#include <atomic>

namespace zx::component {

namespace {

std::atomic<long> g_liveObjects{0};

// The window is one per process and its widgets belong to one thread.
std::atomic<bool> g_running{false};

// The window needs a widget application; a host without one gets one, on
// the offscreen platform when a script plays the run and no screen would
// show it. A window nobody can see or play would wait for ever.
void ensureApplication(bool scripted) {
    auto* app = QCoreApplication::instance();
    if (!app) {
        const bool screen = displayAvailable();
        if (!scripted && !screen)
            throw Error(
                QStringLiteral("no screen shows a window here (DISPLAY, "
                               "QT_QPA_PLATFORM), and no script plays the run"));
        // Lives as long as the process.
        app = screen ? new QApplication(fakeArgc(), fakeArgv())
                     : new QApplication(fakeOffscreenArgc(), fakeOffscreenArgv());
    }
    if (!qobject_cast<QApplication*>(app))
        throw Error(QStringLiteral("the wizard needs a QApplication, but the host runs a plain %1")
                        .arg(QString::fromLatin1(app->metaObject()->className())));
    if (QThread::currentThread() != app->thread())
        throw Error(QStringLiteral("the wizard must be called on the thread of the application"));
    const QString platform = QGuiApplication::platformName();
    if (!scripted &&
        (platform == QLatin1String("offscreen") || platform.startsWith(QLatin1String("minimal"))))
        throw Error(
            QStringLiteral("nothing is seen on the %1 platform, and no script plays the run")
                .arg(platform));
}

// What a host is told of a failure: one line, no password.
QString description(const QString& error) {
    return db::maskedConnectionText(error).simplified();
}

}  // namespace

WizardObject::WizardObject() {
    ++g_liveObjects;
}

WizardObject::~WizardObject() {
    --g_liveObjects;
}

long WizardObject::liveObjects() {
    return g_liveObjects;
}

com::HRESULT WizardObject::QueryInterface(const com::IID& iid, void** object) {
    if (!object)
        return com::E_POINTER;
    if (iid == com::IID_IUnknown || iid == wizard::IID__Wizard)
        *object = static_cast<wizard::_Wizard*>(this);
    else if (iid == wizard::IID_IErrorText)
        *object = static_cast<wizard::IErrorText*>(this);
    else if (iid == wizard::IID_IWizardAutomation)
        *object = static_cast<wizard::IWizardAutomation*>(this);
    else {
        *object = nullptr;
        return com::E_NOINTERFACE;
    }
    AddRef();
    return com::S_OK;
}

std::uint32_t WizardObject::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

com::HRESULT WizardObject::Wizard(db::HostDatabase& DB, QString& cSys, std::int32_t* result) {
    if (!result)
        return com::E_POINTER;
    m_error.clear();
    // A second call while one runs (from the host's callback, another
    // object, another thread) would share the window and save what nobody
    // finished.
    if (g_running.exchange(true)) {
        m_error = QStringLiteral("a wizard is already running in this process");
        return com::DISP_E_EXCEPTION;
    }
    const auto done = qScopeGuard([] { g_running = false; });
    try {
        ensureApplication(m_observer != nullptr);
        *result = m_wizard.Run(DB, cSys, *this);
        // A call refused from inside this one (the host's callback) left its
        // own error here; what this call reports is this call's.
        m_error = *result == 1 ? description(m_wizard.saveFailure()) : QString();
        return com::S_OK;
    } catch (const std::exception& error) {
        m_error = description(QString::fromUtf8(error.what()));
    } catch (...) {
        m_error = QStringLiteral("unknown failure");
    }
    return com::DISP_E_EXCEPTION;
}

com::HRESULT WizardObject::GetErrorText(QString* text) {
    if (!text)
        return com::E_POINTER;
    *text = m_error;
    return com::S_OK;
}

com::HRESULT WizardObject::SetObserver(wizard::IWizardObserver* observer) {
    m_observer = observer;
    return com::S_OK;
}

int WizardObject::MsgBox(const QString& prompt, int buttons, const QString& title) {
    if (m_observer)
        return m_observer->message(prompt, title, buttons);
    return ui::showMessageBox(prompt, buttons, title);
}

std::unique_ptr<wizard::WizardView> WizardObject::createWindow() {
    return std::make_unique<ui::Main>();
}

void WizardObject::modalShown(wizard::WizardView& window) {
    if (m_observer)
        m_observer->modalShown(dynamic_cast<QDialog*>(&window));
}

}  // namespace zx::component
