#include "QueryRows.h"

#include "SqlConnection.h"
#include "SqlDatabase.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace zx::db {

QueryRows::QueryRows(std::shared_ptr<SqlConnection> connection, const QString& sql,
                     const QString& sent, const QVariantList& params)
    : m_connection(std::move(connection)), m_query(m_connection->db()), m_sql(sql) {
    m_query.setForwardOnly(true);
    if (!execBound(m_query, sent, params))
        failSql(sql, m_connection->failure(m_query.lastError()));
    const QSqlRecord record = m_query.record();
    for (int i = 0; i < record.count(); ++i) {
        m_columns << record.fieldName(i);
        m_text << (record.field(i).metaType().id() == QMetaType::QString);
    }
}

bool QueryRows::next(std::vector<Value>& row) {
    if (!m_query.isActive())
        return false;
    if (!m_query.next()) {
        if (m_query.lastError().isValid())
            failSql(m_sql, m_connection->failure(m_query.lastError()));
        m_query.finish();
        return false;
    }
    for (int i = 0; i < int(m_columns.size()); ++i)
        row.push_back(m_query.isNull(i) ? Value::null() : Value(m_query.value(i)));
    return true;
}

}  // namespace zx::db
