#pragma once

// One QtSql connection, shared by a database object and the statements still
// open on it, so that it outlives every one of them.

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlError;
class QSqlQuery;

namespace zx::db {

class SqlConnection {
public:
    explicit SqlConnection(const QString& driver);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QSqlDatabase& db() { return m_db; }
    // Why a statement failed: the driver's words, and that the connection
    // is gone when the driver says so but its message may not (a driver
    // words a failure by what it was doing, "internal SAVEPOINT failed").
    QString failure(const QSqlError& error) const;

private:
    QString m_name;
    QSqlDatabase m_db;
};

// The driver's words on one line: messages are one line everywhere.
QString driverText(const QSqlError& error);

// Runs `sent` on `query` with its placeholders bound to `params` in order.
bool execBound(QSqlQuery& query, const QString& sent, const QVariantList& params);

}  // namespace zx::db
