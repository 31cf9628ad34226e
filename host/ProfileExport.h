#pragma once

// Reads an account's choices as the window shows them after its loads
// (derived and disabled values included) and writes them as a profile: a
// script of `set` actions, page by page, that applies the same choices to
// another account through its own guards and rules.

#include "wizard/WizardApi.h"

#include <QList>
#include <QString>

namespace zx::host {

class ProfileExport final : public wizard::IWizardObserver {
public:
    explicit ProfileExport(bool withPasswords) : m_withPasswords(withPasswords) {}

    int message(const QString& text, const QString& title, int flags) override;
    // Reads step 1, presses Next as a person would, reads step 2, cancels.
    void modalShown(QDialog* window) override;

    // Why the choices could not be read (a message box on the way); empty
    // when they were.
    const QString& failure() const { return m_failure; }
    const QString& lastMessage() const { return m_lastMessage; }

    // The profile; `source` names the account in its first comment.
    QString profile(const QString& source, const QString& subsystem) const;

private:
    struct Setting {
        QString control, value;
        bool password = false;
    };
    QList<Setting> readPage(QDialog* window) const;

    bool m_withPasswords;
    QList<Setting> m_common, m_page;
    QString m_failure, m_lastMessage;
};

// The subsystem a profile says, in its first line, it was exported for;
// empty for a script that names none (one written by hand).
QString profileSubsystem(const QString& profile);

}  // namespace zx::host
