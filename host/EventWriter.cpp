#include "EventWriter.h"

#include "JsonLines.h"
#include "TerminalReport.h"

#include <unistd.h>

namespace zx::host {

void EventWriter::playing(const Action&, const QWidget*) {}
void EventWriter::played(const Action&, const QDialog*) {}
void EventWriter::finish() {}

std::unique_ptr<EventWriter> makeEventWriter(bool json) {
    if (json || !::isatty(STDOUT_FILENO))
        return std::make_unique<JsonLines>();
    return std::make_unique<TerminalReport>();
}

}  // namespace zx::host
