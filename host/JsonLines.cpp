#include "JsonLines.h"

#include "Commands.h"

#include <QJsonDocument>

#include <cstdio>

namespace zx::host {

void JsonLines::write(const QJsonObject& event) {
    const QByteArray line = QJsonDocument(event).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void JsonLines::error(const QString& message) {
    write(
        {{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("message"), message}});
    printError(message);
}

}  // namespace zx::host
