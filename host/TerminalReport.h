#pragma once

#include "EventWriter.h"

#include <QList>
#include <QStringList>

namespace zx::host {

// A run told in words for a person at a terminal: each action with the
// script's note above it, each message box, what a hover shows in the help
// panel, the result, and the changed parameters as a table.
class TerminalReport final : public EventWriter {
public:
    void write(const QJsonObject& event) override;
    void error(const QString& message) override;
    void playing(const Action& action, const QWidget* control) override;
    void played(const Action& action, const QDialog* window) override;
    void finish() override;

private:
    QList<QStringList> m_changed;  // cSysID, cName, old, new
    QStringList m_tables;
    bool m_written = false;
};

}  // namespace zx::host
