#include "ConnectionText.h"

#include <QRegularExpression>

namespace zx::db {

std::optional<ConnectionText> ConnectionText::parse(const QString& text, QString* error) {
    ConnectionText result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("bad connection text \"%1\": %2")
                         .arg(maskedConnectionText(text), why);
        return std::nullopt;
    };
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(';')))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            return fail(QStringLiteral("\"%1\" has no '='").arg(text.mid(i).trimmed()));
        const QString key = text.mid(i, eq - i).trimmed();
        if (key.isEmpty() || key.contains(QLatin1Char(';')))
            return fail(QStringLiteral("a key is missing before '=' at %1").arg(eq + 1));
        i = eq + 1;
        while (i < n && text[i].isSpace())
            ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('{'))) {
            const QChar close = text[i] == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char('}');
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) {  // doubled: a literal one
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                return fail(QStringLiteral("the value of %1 is not closed").arg(key));
            while (i < n && text[i].isSpace())
                ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                return fail(QStringLiteral("text after the quoted value of %1").arg(key));
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end;
        }
        result.m_pairs.append({key, value});
    }
    return result;
}

QString ConnectionText::value(const QString& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

bool ConnectionText::contains(const QString& key) const {
    for (const auto& pair : m_pairs)
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString ConnectionText::withoutProvider() const {
    QStringList parts;
    for (const auto& [k, v] : m_pairs) {
        if (k.compare(QLatin1String("provider"), Qt::CaseInsensitive) == 0)
            continue;
        const bool needsBraces = v.contains(QLatin1Char(';')) || v.startsWith(QLatin1Char('{')) ||
                                 v.startsWith(QLatin1Char('"')) || v != v.trimmed();
        parts << k + QLatin1Char('=') +
                     (needsBraces
                          ? QLatin1Char('{') +
                                QString(v).replace(QLatin1String("}"), QLatin1String("}}")) +
                                QLatin1Char('}')
                          : v);
    }
    return parts.join(QLatin1Char(';'));
}

QString maskedConnectionText(const QString& text) {
    // Works on the raw text so that even an unparsable one is masked.
    static const QRegularExpression password(
        // A braced or quoted value, and whatever a malformed one leaves before the next ';'.
        QStringLiteral("((?:^|;)\\s*(?:password|pwd)\\s*=\\s*)"
                       "((?:\\{(?:[^}]|\\}\\})*\\}|\"(?:[^\"]|\"\")*\")?[^;]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    out.replace(password, QStringLiteral("\\1***"));
    return out;
}

}  // namespace zx::db
