#include "Value.h"

#include "core/Error.h"

namespace zx::db {

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
    return a.m_value == b.m_value;
}

}  // namespace zx::db
