#pragma once

// Where the events of a run go. Programs read JSON Lines (one object per
// event: message, state, skipped, error, result, changed, changedTable); a
// person at a terminal reads the same run in words.

#include <QJsonObject>

#include <memory>

class QDialog;
class QWidget;

namespace zx::host {

struct Action;

class EventWriter {
public:
    virtual ~EventWriter() = default;

    virtual void write(const QJsonObject& event) = 0;
    // A failure: an error event, and a line on stderr.
    virtual void error(const QString& message) = 0;
    // Around each action a script plays; `control` may be null.
    virtual void playing(const Action& action, const QWidget* control);
    virtual void played(const Action& action, const QDialog* window);
    // Called once the run is over.
    virtual void finish();
};

// JSON Lines when asked for, or when stdout is not a terminal; else words.
std::unique_ptr<EventWriter> makeEventWriter(bool json);

}  // namespace zx::host
