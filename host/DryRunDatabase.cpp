#include "DryRunDatabase.h"

namespace zx::host {

void DryRunDatabase::CommitTrans() {
    // Read inside the transaction: the same connection sees its own writes.
    if (m_snapshotAtCommit)
        m_atCommit = Snapshot::take(m_account);
    m_account.RollbackTrans();
}

}  // namespace zx::host
