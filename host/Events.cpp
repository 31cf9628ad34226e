#include "Events.h"

#include <QJsonDocument>

#include <cstdio>

namespace zx::host {

void emitEvent(const QJsonObject& event) {
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void emitError(const QString& message) {
    emitEvent(
        {{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("message"), message}});
}

}  // namespace zx::host
