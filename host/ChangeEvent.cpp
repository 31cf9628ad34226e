#include "ChangeEvent.h"

#include <QJsonValue>

namespace zx::host {

namespace {

QJsonValue jsonValue(const std::optional<QString>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// A JSON string as QJsonDocument writes it: the seven short escapes, \u00xx
// for the other control characters, UTF-8 for the rest, and \uxxxx for a
// surrogate half without its partner.
void appendString(QByteArray& out, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u < 0x80 && u != '"' && u != '\\') {
            out += char(u);
            continue;
        }
        switch (u) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\b':
                out += "\\b";
                continue;
            case '\f':
                out += "\\f";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
        }
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (u < 0x20 || (QChar::isSurrogate(u) && !pair)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hex[(u >> shift) & 0xF];
            continue;
        }
        out += text.mid(i, pair ? 2 : 1).toUtf8();
        i += pair ? 1 : 0;
    }
    out += '"';
}

void appendMember(QByteArray& out, const char* key, const std::optional<QString>& value) {
    out += '"';
    out += key;
    out += "\":";
    if (value)
        appendString(out, *value);
    else
        out += "null";
}

}  // namespace

QJsonObject ChangeEvent::toJson() const {
    if (!table.isEmpty())
        return {{QStringLiteral("event"), QStringLiteral("changedTable")},
                {QStringLiteral("table"), table},
                {QStringLiteral("rows"), rows}};
    return {{QStringLiteral("event"), QStringLiteral("changed")},
            {QStringLiteral("cSysID"), sys},
            {QStringLiteral("cName"), name},
            {QStringLiteral("old"), jsonValue(old)},
            {QStringLiteral("new"), jsonValue(now)}};
}

QByteArray ChangeEvent::jsonLine() const {
    // The members in the order a QJsonObject keeps its keys.
    QByteArray out;
    out.reserve(128);
    out += '{';
    if (!table.isEmpty()) {
        out += "\"event\":\"changedTable\",\"rows\":";
        out += QByteArray::number(rows);
        out += ',';
        appendMember(out, "table", table);
    } else {
        appendMember(out, "cName", name);
        out += ',';
        appendMember(out, "cSysID", sys);
        out += ",\"event\":\"changed\",";
        appendMember(out, "new", now);
        out += ',';
        appendMember(out, "old", old);
    }
    out += '}';
    return out;
}

}  // namespace zx::host
