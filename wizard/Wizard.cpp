#include "Wizard.h"

#include "AccountName.h"
#include "AccountQueries.h"
#include "SetupModel.h"
#include "WBAS.h"
#include "WizardView.h"
#include "dbkit/HostDatabase.h"
#include "dbkit/TransactionGuard.h"
#include "vb/Vb.h"

namespace zx::wizard {

namespace {

// The window serves one call: whatever happens, it lets go of the host and
// the account when the call ends.
class Attachment {
public:
    Attachment(WizardView& window, const QString& sysCode, RunHost& host, AccountQueries& queries)
        : m_window(window) {
        try {
            m_window.attach(sysCode, host, &queries);
        } catch (...) {
            // Only a new window's Form_Load can fail here: a half-loaded
            // window is not kept for the next call.
            WBAS::UnloadMain();
            throw;
        }
    }
    ~Attachment() { m_window.detach(); }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

private:
    WizardView& m_window;
};

}  // namespace

bool accountYearAccepted(const QString& year) {
    return vb::CompareOrdinal(QStringLiteral("1980"), year) <= 0 &&
           vb::CompareOrdinal(year, QStringLiteral("2050")) <= 0;
}

std::int32_t Wizard::Run(db::HostDatabase& DB, QString& cSys, RunHost& host) {
    m_saveFailure.clear();
    m_run.AccountYear = yearAfterZxdataUnderscore(DB.Connection().ConnectionString());
    if (!accountYearAccepted(m_run.AccountYear)) {
        host.MsgBox(
            QStringLiteral("打开的数据库有问题！（") + m_run.AccountYear + QStringLiteral("）"),
            vbInformation, QStringLiteral("建帐向导"));
        return 2;
    }
    const QString account = DB.Connection().ConnectionString();
    m_run.AccountId = accountAfterZxdataUnderscore(account);
    m_run.CancelCode = 0;
    m_run.StartCheckMode = 0;

    SetupModel model;
    GroupContext group{DB, model, m_run};
    const Subsystem* subsystem = subsystemOf(cSys);
    // A failure up to the save ends the call and leaves the window loaded and
    // hidden, as a refusal does: the next call on this account reuses it.
    {
        AccountQueries queries(DB);
        WizardView& window = WBAS::MainForm(host, account);
        const Attachment attached(window, cSys, host, queries);

        m_run.shown.clear();
        LoadCommonParameters(group);
        if (subsystem)
            subsystem->load(*subsystem, group);
        window.present(model, model.decided());

        if (m_run.StartCheckMode != 0) {
            const Subsystem& derived = *subsystemOfMode(m_run.StartCheckMode);
            const StartPeriodVerdict start = queries.CheckStartPeriod(derived);
            if (!start.message.isEmpty())
                host.MsgBox(start.message, vbCritical, QString::fromUtf8(GuideTitle));
            if (!start.month)
                return 2;
            const QString box = QString::fromLatin1(derived.monthBox);
            model.setText(box, *start.month);
            window.present(model, {box});
        }

        if (window.showModal() == WizardView::Ending::Cancelled)
            m_run.CancelCode = 3;
        else
            window.collect(model);
    }
    if (m_run.CancelCode != 0) {
        WBAS::UnloadMain();
        return m_run.CancelCode;
    }

    db::TransactionGuard transaction(DB);
    try {
        m_run.shown.checkUnchanged(DB);
        SaveCommonParameters(group);
        if (subsystem)
            subsystem->save(*subsystem, group);
        transaction.commit();
        WBAS::UnloadMain();
        return 0;
    } catch (const std::exception& error) {
        // No message: the host asks for the reason. The window stays loaded
        // and hidden; a later run reuses it.
        m_saveFailure = QString::fromUtf8(error.what());
        transaction.rollback();
        return 1;
    }
}

}  // namespace zx::wizard
