#pragma once

// Form Main as a run sees it, and what a run needs from the component it
// runs in. wizard/ declares both; window/ implements the view and the
// component the host, and wires them together, so the run sequence never
// touches a widget.

#include <QString>
#include <QStringList>

#include <memory>

namespace zx::wizard {

class AccountQueries;
class SetupModel;
class WizardView;

// Message box flags: the icon and a single OK button.
inline constexpr int vbCritical = 16;
inline constexpr int vbInformation = 64;
// The title of the guards' and start-period checks' message boxes.
inline constexpr const char* GuideTitle = "向导提示";

class RunHost {
public:
    // A modal message box with one OK button, or an observing host's record
    // of it. Returns the button pressed (1, OK).
    virtual int MsgBox(const QString& prompt, int buttons, const QString& title) = 0;
    // Form Main, when the process has none.
    virtual std::unique_ptr<WizardView> createWindow() = 0;
    // The window is on screen, inside its modal display.
    virtual void modalShown(WizardView& window) = 0;

protected:
    ~RunHost() = default;
};

class WizardView {
public:
    enum class Ending { Finished, Cancelled };

    virtual ~WizardView() = default;

    // What the window may use during one call, and only then: the subsystem,
    // where its messages go, the account its handlers ask (none: handlers
    // that ask fail). The first attach also runs Form_Load.
    virtual void attach(const QString& sysCode, RunHost& host, AccountQueries* queries) = 0;
    // Forgets the host and the account: nothing of a call outlives it.
    virtual void detach() = 0;
    // Sets what the setup decided about `controls`, in that order, as code
    // sets a control: check boxes and options raise their Click. A handler
    // that fails on the database fails this call.
    virtual void present(const SetupModel& model, const QStringList& controls) = 0;
    // The modal display. A handler that fails (on the database, mostly)
    // ends it and fails this call.
    virtual Ending showModal() = 0;
    // Every value, text, selection and Tag of the pages, into the setup.
    virtual void collect(SetupModel& model) const = 0;
};

}  // namespace zx::wizard
