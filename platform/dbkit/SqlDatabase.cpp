#include "SqlDatabase.h"

#include "ConnectionText.h"
#include "KeyedScan.h"
#include "LazyRecordset.h"
#include "PauseInsideSave.h"
#include "RowSource.h"
#include "core/Error.h"

namespace zx::db {

SqlDatabase::SqlDatabase() = default;

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

std::shared_ptr<KeyedScan> SqlDatabase::keyedScan(const QString&, const RowSource&) {
    return nullptr;
}

void failSql(const QString& sql, const QString& why) {
    throw Error(QStringLiteral("SQL failed: %1 (%2)").arg(sql, why));
}

}  // namespace zx::db
