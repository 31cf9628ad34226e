#include "SqlDatabase.h"

#include "ConnectionText.h"
#include "KeyedScan.h"
#include "LazyRecordset.h"
#include "PauseInsideSave.h"
#include "QueryRows.h"
#include "SqlConnection.h"
#include "core/Error.h"

#include <QSqlError>
#include <QSqlQuery>

namespace zx::db {

SqlDatabase::SqlDatabase(std::shared_ptr<SqlConnection> connection)
    : m_connection(std::move(connection)) {}

SqlDatabase::~SqlDatabase() = default;

void SqlDatabase::setConnectionText(const QString& text) {
    m_text = maskedConnectionText(text);
}

void SqlDatabase::BeginTrans() {
    if (m_inTransaction)
        throw Error(QStringLiteral("a transaction is already open"));
    beforeStatement();
    beginTransaction();
    m_inTransaction = true;
    m_statementsInTransaction = 0;
}

void SqlDatabase::CommitTrans() {
    if (!m_inTransaction)
        throw Error(QStringLiteral("CommitTrans without BeginTrans"));
    statementStarts();
    commitTransaction();  // a commit that failed leaves the transaction to roll back
    m_inTransaction = false;
}

void SqlDatabase::RollbackTrans() {
    if (!m_inTransaction)
        throw Error(QStringLiteral("RollbackTrans without BeginTrans"));
    beforeStatement();
    m_inTransaction = false;
    rollbackTransaction();
}

void SqlDatabase::Execute(const QString& sql, const QVariantList& params) {
    statementStarts();
    run(sql, sent(sql), params);
}

std::unique_ptr<HostRecordset> SqlDatabase::OpenRecordset(const QString& sql, std::optional<int>,
                                                          const QVariantList& params) {
    statementStarts();
    const QString text = sent(sql);
    auto scan = rows(sql, text, params);
    auto keyed = params.isEmpty() ? keyedScan(text, *scan) : nullptr;
    return std::make_unique<LazyRecordset>(std::move(scan), sql, std::move(keyed));
}

void SqlDatabase::statementStarts() {
    if (m_inTransaction)
        pauseInsideSave(++m_statementsInTransaction);
    beforeStatement();
}

void SqlDatabase::run(const QString& sql, const QString& sent, const QVariantList& params) {
    QSqlQuery query(m_connection->db());
    if (!execBound(query, sent, params))
        failSql(sql, reason(query.lastError()));
    // An unread write statement would hold back COMMIT.
    query.finish();
}

QString SqlDatabase::reason(const QSqlError& error) const {
    return m_connection->failure(error);
}

std::unique_ptr<RowSource> SqlDatabase::rows(const QString& sql, const QString& sent,
                                             const QVariantList& params) {
    return std::make_unique<QueryRows>(m_connection, sql, sent, params);
}

std::shared_ptr<KeyedScan> SqlDatabase::keyedScan(const QString&, const RowSource&) {
    return nullptr;
}

}  // namespace zx::db
