#include "SqlConnection.h"

#include "Value.h"

#include "core/Error.h"

#include <QAtomicInteger>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sql.h>
#include <sqlext.h>

namespace zx::db {

SqlConnection::SqlConnection(const QString& driver) {
    static QAtomicInteger<int> counter;
    m_name = QStringLiteral("zxdbkit-%1").arg(counter.fetchAndAddRelaxed(1));
    m_db = QSqlDatabase::addDatabase(driver, m_name);
}

SqlConnection::~SqlConnection() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QString driverText(const QSqlError& error) {
    QString text = error.databaseText().simplified();
    if (text.isEmpty())
        text = error.driverText().simplified();
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

namespace {

// Whether an ODBC driver has found the connection to its server dead.
bool odbcConnectionDead(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (db.driverName() != QLatin1String("QODBC") ||
        handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return false;
    const SQLHANDLE connection = *static_cast<const SQLHANDLE*>(handle.constData());
    SQLUINTEGER dead = SQL_CD_FALSE;
    return connection &&
           SQL_SUCCEEDED(
               SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

}  // namespace

QString SqlConnection::failure(const QSqlError& error) const {
    const QString text = driverText(error);
    static const QRegularExpression saysSo(QStringLiteral("connection.* lost"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (text.contains(saysSo) || !odbcConnectionDead(m_db))
        return text;
    return text + QStringLiteral("; the connection to the server has been lost");
}

bool execBound(QSqlQuery& query, const QString& sent, const QVariantList& params) {
    if (params.isEmpty())
        return query.exec(sent);
    if (!query.prepare(sent))
        return false;
    // Qt's drivers bind a null QString as Null, but a cleared value is the
    // empty text: only an invalid QVariant is Null.
    for (const QVariant& param : params) {
        // Only the embedded database hands out such texts; a server's driver
        // would send other bytes than the ones read.
        if (param.metaType() == QMetaType::fromType<TextBytes>())
            throw Error(QStringLiteral("a text that is not UTF-8 cannot be sent to the server"));
        if (param.typeId() == QMetaType::QString && param.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(param);
    }
    return query.exec();
}

}  // namespace zx::db
