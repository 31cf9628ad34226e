#pragma once

#include "Snapshot.h"
#include "dbkit/HostDatabase.h"

#include <optional>

namespace zx::host {

// The account as a dry run hands it to the component: every call passes
// through, except that the commit looks at what the transaction holds and
// then rolls it back. The component cannot tell; nothing is ever kept.
class DryRunDatabase final : public db::HostDatabase {
public:
    // `snapshotAtCommit`: whether the commit reads the account first (not
    // needed when a change log follows the writes).
    DryRunDatabase(db::HostDatabase& account, bool snapshotAtCommit)
        : m_account(account), m_snapshotAtCommit(snapshotAtCommit) {}

    // The account as the commit would have left it; none before a commit.
    const std::optional<Snapshot>& atCommit() const { return m_atCommit; }

    void BeginTrans() override { m_account.BeginTrans(); }
    void CommitTrans() override;
    void RollbackTrans() override { m_account.RollbackTrans(); }
    void Execute(const QString& sql, const QVariantList& params) override {
        m_account.Execute(sql, params);
    }
    std::unique_ptr<db::HostRecordset> OpenRecordset(const QString& sql, std::optional<int> option,
                                                     const QVariantList& params) override {
        return m_account.OpenRecordset(sql, option, params);
    }
    QString ConnectString() const override { return m_account.ConnectString(); }
    db::AdoConnection& Connection() override { return m_account.Connection(); }

private:
    db::HostDatabase& m_account;
    bool m_snapshotAtCommit;
    std::optional<Snapshot> m_atCommit;
};

}  // namespace zx::host
