#include "JsonLines.h"

#include "ChangeEvent.h"
#include "Commands.h"

#include <QJsonDocument>

#include <cstdio>

namespace zx::host {

namespace {

void putLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void JsonLines::write(const QJsonObject& event) {
    putLine(QJsonDocument(event).toJson(QJsonDocument::Compact));
}

void JsonLines::changed(const ChangeEvent& change) {
    putLine(change.jsonLine());
}

void JsonLines::error(const QString& message) {
    write(
        {{QStringLiteral("event"), QStringLiteral("error")}, {QStringLiteral("message"), message}});
    printError(message);
}

}  // namespace zx::host
