#pragma once

#include "HostDatabase.h"

#include <memory>

class QSqlError;

namespace zx::db {

class KeyedScan;
class RowSource;
class SqlConnection;

// What every database seam shares: transaction bookkeeping, statements sent
// with the system tables named the seam's way, lazy recordsets, and the
// connection text it reports (secrets masked). A seam says how its database
// differs.
class SqlDatabase : public HostDatabase, private AdoConnection {
public:
    ~SqlDatabase() override;

    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;
    void Execute(const QString& sql, const QVariantList& params) override;
    std::unique_ptr<HostRecordset> OpenRecordset(const QString& sql, std::optional<int> option,
                                                 const QVariantList& params) override;
    QString ConnectString() const override { return m_text; }
    AdoConnection& Connection() override { return *this; }

protected:
    explicit SqlDatabase(std::shared_ptr<SqlConnection> connection);

    const std::shared_ptr<SqlConnection>& connection() const { return m_connection; }
    void setConnectionText(const QString& text);
    // Runs one statement that returns no rows; throws naming `sql`.
    void run(const QString& sql, const QString& sent, const QVariantList& params = {});

    // The statement with T-SQL's zxsystem..table written the database's way.
    virtual QString sent(const QString& sql) const = 0;
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    // The words a failure is reported with.
    virtual QString reason(const QSqlError& error) const;
    // The rows of a query; through QtSql unless the seam reads them itself.
    virtual std::unique_ptr<RowSource> rows(const QString& sql, const QString& sent,
                                            const QVariantList& params);
    // Called before every statement.
    virtual void beforeStatement() {}
    // How rows of a whole-table recordset are looked up; by default they
    // are not, and FindFirst reads rows.
    virtual std::shared_ptr<KeyedScan> keyedScan(const QString& sent, const RowSource& scan);

private:
    QString ConnectionString() const override { return m_text; }
    void statementStarts();

    std::shared_ptr<SqlConnection> m_connection;
    QString m_text;
    bool m_inTransaction = false;
    int m_statementsInTransaction = 0;
};

}  // namespace zx::db
