#pragma once

// Plays a script inside the wizard's modal display: every action goes
// through the real widgets and their handlers as a mouse, a keyboard or the
// clipboard would; every message box becomes an event and is answered OK.

#include "Script.h"
#include "wizard/WizardApi.h"

namespace zx::host {

class EventWriter;

class ScriptDriver final : public wizard::IWizardObserver {
public:
    ScriptDriver(std::vector<Action> actions, EventWriter& events)
        : m_actions(std::move(actions)), m_events(events) {}

    // Saves a picture of the window just before its modal display ends.
    void setScreenshot(const QString& path) { m_screenshot = path; }

    int message(const QString& text, const QString& title, int flags) override;
    void modalShown(QDialog* window) override;

    // Reports the actions that were not played; call after the run.
    void finish();

    // Set when an action could not be performed; the window was then closed
    // as Cancel.
    bool failed() const { return m_failed; }

private:
    void play(QDialog* window);
    // Empty when the action was performed; else why not.
    QString perform(QDialog* window, const Action& action);
    QString set(QWidget* control, const Action& action);

    std::vector<Action> m_actions;
    EventWriter& m_events;
    QString m_screenshot;
    QString m_lastMessage;
    size_t m_next = 0;
    bool m_failed = false;
};

}  // namespace zx::host
