#pragma once

// A HostDatabase that passes everything to a real one, counts the
// statements of the save and can fail the k-th of them (the commit counts
// last): by throwing, or by what `strike` does to the database just before.

#include "core/Error.h"
#include "dbkit/HostDatabase.h"

#include <functional>

class FaultyDatabase : public zx::db::HostDatabase {
public:
    explicit FaultyDatabase(zx::db::HostDatabase& inner) : m_inner(inner) {}

    // Counting starts at the first BeginTrans: the save's statements.
    int failAt = 0;  // 1-based statement of the save to fail; 0: none
    std::function<void()> strike;
    bool failCommit = false;
    QString commitError = QStringLiteral("injected commit failure");
    int statementsInSave = 0;
    int beginCount = 0;

    void BeginTrans() override {
        ++beginCount;
        m_inSave = true;
        m_inner.BeginTrans();
    }
    void CommitTrans() override {
        step();
        if (failCommit)
            throw zx::Error(commitError);
        m_inner.CommitTrans();
    }
    void RollbackTrans() override { m_inner.RollbackTrans(); }
    void Execute(const QString& sql, const QVariantList& params) override {
        step();
        m_inner.Execute(sql, params);
    }
    std::unique_ptr<zx::db::HostRecordset> OpenRecordset(const QString& sql,
                                                         std::optional<int> option,
                                                         const QVariantList& params) override {
        step();
        return m_inner.OpenRecordset(sql, option, params);
    }
    QString ConnectString() const override { return m_inner.ConnectString(); }
    zx::db::AdoConnection& Connection() override { return m_inner.Connection(); }

private:
    void step() {
        if (!m_inSave)
            return;
        if (++statementsInSave != failAt)
            return;
        if (!strike)
            throw zx::Error(QStringLiteral("injected failure at statement %1").arg(failAt));
        strike();
    }

    zx::db::HostDatabase& m_inner;
    bool m_inSave = false;
};
