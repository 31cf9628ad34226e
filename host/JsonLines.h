#pragma once

#include "EventWriter.h"

namespace zx::host {

// One compact JSON object per line on stdout, flushed at once so that a
// reader sees each event as it happens.
class JsonLines final : public EventWriter {
public:
    void write(const QJsonObject& event) override;
    void error(const QString& message) override;
};

}  // namespace zx::host
