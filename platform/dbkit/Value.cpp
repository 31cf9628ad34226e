#include "Value.h"

#include "core/Error.h"

#include <QUtf8StringView>

namespace zx::db {

Value Value::ofText(const char* bytes, qsizetype size) {
    Value value(QString::fromUtf8(bytes, size));
    // Only a decoding that needed a replacement can have lost bytes.
    if (value.m_value.toString().contains(QChar::ReplacementCharacter) &&
        !QUtf8StringView(bytes, size).isValidUtf8())
        value.m_textBytes = QByteArray(bytes, size);
    return value;
}

QVariant Value::bindable() const {
    if (m_null)
        return {};
    if (!m_textBytes.isEmpty())
        return QVariant::fromValue(TextBytes{m_textBytes});
    return m_value;
}

QString Value::toText(const QString& what) const {
    if (m_null)
        throw Error(QStringLiteral("Invalid use of Null: %1").arg(what));
    return m_value.toString();
}

bool Value::isTrueFlag() const {
    if (m_null)
        return false;
    if (m_value.typeId() == QMetaType::Bool)
        return m_value.toBool();
    bool ok = false;
    const double number = m_value.toString().trimmed().toDouble(&ok);
    if (ok)
        return number != 0;
    const QString text = m_value.toString().trimmed();
    return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool operator==(const Value& a, const Value& b) {
    if (a.m_null || b.m_null)
        return a.m_null == b.m_null;
    // Two texts shown alike may be stored as different bytes.
    if (!a.m_textBytes.isEmpty() || !b.m_textBytes.isEmpty())
        return a.m_textBytes == b.m_textBytes;
    return a.m_value == b.m_value;
}

}  // namespace zx::db
