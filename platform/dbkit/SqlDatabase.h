#pragma once

#include "HostDatabase.h"

#include <memory>

namespace zx::db {

class KeyedScan;
class RowSource;

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
    SqlDatabase();

    void setConnectionText(const QString& text);
    // Runs one statement that returns no rows; throws naming `sql`.
    virtual void run(const QString& sql, const QString& sent, const QVariantList& params = {}) = 0;

    // The statement with T-SQL's zxsystem..table written the database's way.
    virtual QString sent(const QString& sql) const = 0;
    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    // The rows of a query.
    virtual std::unique_ptr<RowSource> rows(const QString& sql, const QString& sent,
                                            const QVariantList& params) = 0;
    // Called before every statement.
    virtual void beforeStatement() {}
    // How rows of a whole-table recordset are looked up; by default they
    // are not, and FindFirst reads rows.
    virtual std::shared_ptr<KeyedScan> keyedScan(const QString& sent, const RowSource& scan);

private:
    QString ConnectionString() const override { return m_text; }
    void statementStarts();

    QString m_text;
    bool m_inTransaction = false;
    int m_statementsInTransaction = 0;
};

// A statement that failed, named as the system wrote it.
[[noreturn]] void failSql(const QString& sql, const QString& why);

}  // namespace zx::db
