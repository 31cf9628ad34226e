#include "ComTypes.h"

#include "core/Ascii.h"

namespace zx::com {

QString GUID::toString() const {
    QString text = QStringLiteral("{%1-%2-%3-%4%5-")
                       .arg(data1, 8, 16, QLatin1Char('0'))
                       .arg(data2, 4, 16, QLatin1Char('0'))
                       .arg(data3, 4, 16, QLatin1Char('0'))
                       .arg(data4[0], 2, 16, QLatin1Char('0'))
                       .arg(data4[1], 2, 16, QLatin1Char('0'));
    for (int i = 2; i < 8; ++i)
        text += QStringLiteral("%1").arg(data4[i], 2, 16, QLatin1Char('0'));
    text += QLatin1Char('}');
    return text.toUpper();
}

// {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx} in hexadecimal digits of any case,
// the braces optional, blanks around.
bool GUID::fromString(const QString& text, GUID* out) {
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(u'{'))
        digits = digits.mid(1);
    if (digits.endsWith(u'}'))
        digits = digits.chopped(1);
    if (digits.size() != 36 || out == nullptr)
        return false;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? digits[i] != u'-' : !ascii::isHexDigit(digits[i]))
            return false;
    }
    GUID g;
    g.data1 = digits.mid(0, 8).toUInt(nullptr, 16);
    g.data2 = static_cast<std::uint16_t>(digits.mid(9, 4).toUInt(nullptr, 16));
    g.data3 = static_cast<std::uint16_t>(digits.mid(14, 4).toUInt(nullptr, 16));
    const QString tail = digits.mid(19, 4).toString() + digits.mid(24, 12).toString();
    for (int i = 0; i < 8; ++i)
        g.data4[i] = static_cast<std::uint8_t>(tail.mid(i * 2, 2).toUInt(nullptr, 16));
    *out = g;
    return true;
}

QString describeHResult(HRESULT hr) {
    switch (hr) {
        case S_OK:
            return QStringLiteral("success");
        case E_NOINTERFACE:
            return QStringLiteral("interface not supported");
        case E_POINTER:
            return QStringLiteral("null pointer");
        case E_INVALIDARG:
            return QStringLiteral("invalid argument");
        case CLASS_E_NOAGGREGATION:
            return QStringLiteral("class does not support aggregation");
        case CLASS_E_CLASSNOTAVAILABLE:
            return QStringLiteral("class not available from this library");
        case REGDB_E_CLASSNOTREG:
            return QStringLiteral("class not registered");
        case SELFREG_E_CLASS:
            return QStringLiteral("registration failed");
        default:
            break;
    }
    return QStringLiteral("error 0x%1")
        .arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'));
}

}  // namespace zx::com
