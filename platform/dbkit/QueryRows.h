#pragma once

#include "RowSource.h"

#include <QSqlQuery>

#include <memory>

namespace zx::db {

class SqlConnection;

// The rows of a statement through QtSql, for any driver.
class QueryRows final : public RowSource {
public:
    QueryRows(std::shared_ptr<SqlConnection> connection, const QString& sql, const QString& sent,
              const QVariantList& params);

    QStringList columns() const override { return m_columns; }
    bool isTextColumn(int column) const override { return m_text.at(column); }
    bool next(std::vector<Value>& row) override;

private:
    std::shared_ptr<SqlConnection> m_connection;  // declared first: outlives the query
    QSqlQuery m_query;
    QString m_sql;
    QStringList m_columns;
    QList<bool> m_text;
};

}  // namespace zx::db
