#include "QtSqlDatabase.h"

#include "ConnectionText.h"
#include "OdbcLibrary.h"
#include "SqliteDatabase.h"
#include "core/Error.h"

namespace zx::db {

std::unique_ptr<HostDatabase> openDatabase(const QString& connectionText) {
    QString error;
    const auto parsed = ConnectionText::parse(connectionText, &error);
    if (!parsed)
        throw Error(error);
    const QString provider = parsed->value(QStringLiteral("Provider"));
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SqliteDatabase>(*parsed);
    if (provider.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0)
        return openOdbcDatabase(*parsed);
    throw Error(QStringLiteral("unknown provider \"%1\" in %2")
                    .arg(provider, maskedConnectionText(connectionText)));
}

}  // namespace zx::db
