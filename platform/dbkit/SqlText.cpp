#include "SqlText.h"

namespace zx::db {

QString rewriteSystemPrefix(const QString& sql, const QString& schema) {
    static const QLatin1String prefix("zxsystem..");
    // Most statements name no system table: they go out as they are rather
    // than copied a character at a time.
    if (!sql.contains(QLatin1String("..")))
        return sql;
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

}  // namespace zx::db
