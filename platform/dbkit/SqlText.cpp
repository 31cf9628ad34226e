#include "SqlText.h"

#include <QRegularExpression>

namespace zx::db {

QString sqlQuoted(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

QString rewriteSystemPrefix(const QString& sql, const QString& schema) {
    static const QLatin1String prefix("zxsystem..");
    QString out;
    out.reserve(sql.size());
    bool inText = false;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'')) {
            inText = !inText;  // a doubled quote toggles twice and stays put
            out += c;
            ++i;
            continue;
        }
        const bool wordStart =
            i == 0 || !(sql[i - 1].isLetterOrNumber() || sql[i - 1] == QLatin1Char('_'));
        if (!inText && wordStart &&
            QStringView(sql).mid(i, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0) {
            out += schema + QLatin1Char('.');
            i += prefix.size();
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

bool isPasswordParameter(const QString& cName) {
    return cName.endsWith(QLatin1String("Pwd"), Qt::CaseInsensitive);
}

QString redactedSql(const QString& sql) {
    static const QRegularExpression passwordRow(QStringLiteral("cName\\s*=\\s*'[^']*pwd'"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression setValue(
        QStringLiteral("(set\\s+cValue\\s*=\\s*')((?:[^']|'')*)(')"),
        QRegularExpression::CaseInsensitiveOption);
    if (!passwordRow.match(sql).hasMatch())
        return sql;
    QString out = sql;
    out.replace(setValue, QStringLiteral("\\1***\\3"));
    return out;
}

}  // namespace zx::db
