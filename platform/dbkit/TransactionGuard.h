#pragma once

#include "HostDatabase.h"

namespace zx::db {

// Begins a transaction and rolls it back when the scope ends without
// commit(), so no early return or exception can leave half a save.
class TransactionGuard {
public:
    explicit TransactionGuard(HostDatabase& db) : m_db(db) { m_db.BeginTrans(); }
    ~TransactionGuard() {
        if (m_open) {
            try {
                m_db.RollbackTrans();
            } catch (...) {  // nothing may escape a destructor
            }
        }
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    void commit() {
        m_db.CommitTrans();
        m_open = false;
    }
    // An explicit rollback whose failure reaches the caller.
    void rollback() {
        m_open = false;
        m_db.RollbackTrans();
    }

private:
    HostDatabase& m_db;
    bool m_open = true;
};

}  // namespace zx::db
