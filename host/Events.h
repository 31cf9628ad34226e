#pragma once

// JSON Lines on stdout, one object per event, flushed at once so that a
// reader sees each event as it happens.

#include <QJsonObject>

namespace zx::host {

void emitEvent(const QJsonObject& event);
void emitError(const QString& message);

}  // namespace zx::host
