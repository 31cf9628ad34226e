// Start period and month-end checks: a subsystem set up after others have
// started must start in the month they now stand in, and cannot start at all
// once one of them has closed December.

#include "AccountQueries.h"
#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"

#include <vector>

namespace zx::wizard {

namespace {

constexpr std::uint32_t LightGrey = 0x00C0C0C0;

bool flagOf(db::HostRecordset& rs, const char* flag) {
    return rs.Recordset().Fields(QString::fromLatin1(flag)).isTrueFlag();
}

QString monthText(const db::Value& v) {
    return QString::number(v.variant().toLongLong());
}

QString startMonthOf(db::HostDatabase& DB, const Param& p) {
    return QString::number(dateOf(singleValue(DB, p), nameOf(p)).month());
}

// From period 1 on, the first period whose flag is still open.
QString walkOpenMonth(db::HostRecordset& mend, const char* flag, const QString& month) {
    mend.FindFirst(QStringLiteral("iperiod=1"));
    if (!flagOf(mend, flag))
        return month;
    for (int i = 0; i < 12; ++i) {
        mend.MoveNext();
        if (!flagOf(mend, flag))
            break;
    }
    return monthText(mend.Recordset().Fields(QStringLiteral("iperiod")));
}

// The first open period by a min() query; none when there is none.
std::optional<QString> firstOpenPeriod(db::HostDatabase& DB, db::HostRecordset& mend,
                                       const char* flag, const QString& month) {
    mend.FindFirst(QStringLiteral("iperiod=1"));
    if (!flagOf(mend, flag))
        return month;
    auto rs =
        DB.OpenRecordset(QStringLiteral("select min(iperiod) as iperiod from GL_mend where ") +
                             QString::fromLatin1(flag) + QStringLiteral("=0 and iperiod>=1"),
                         4);
    if (rs->Bof() && rs->Eof())
        return std::nullopt;
    const db::Value first = rs->Recordset().Fields(QStringLiteral("iperiod"));
    if (first.isNull())
        return std::nullopt;
    rs->Close();
    return monthText(first);
}

std::optional<QString> openMonth(db::HostDatabase& DB, db::HostRecordset& mend, OpenMonth how,
                                 const char* flag, const QString& month) {
    if (how == OpenMonth::ByQuery)
        return firstOpenPeriod(DB, mend, flag, month);
    return walkOpenMonth(mend, flag, month);
}

// The ledger stands in the month after its last closing; with none closed,
// in month 1 once it has started.
QString ledgerMonth(db::HostDatabase& DB, const FinanceSubsystem& ledger) {
    const auto closed = DB.OpenRecordset(
        QStringLiteral("SELECT max(iperiod) as iMaxMonth from GL_mEnd where bflag=1"));
    if (!(closed->Bof() && closed->Eof()))
        closed->MoveLast();
    const db::Value last = closed->Recordset().Fields(QStringLiteral("iMaxMonth"));
    if (!last.isNull())
        return QString::number(last.variant().toLongLong() + 1);
    return isParameterSet(DB, ledger.startDate) ? QStringLiteral("1") : QString();
}

StartPeriodVerdict refused(const char* message = "") {
    return {std::nullopt, QString::fromUtf8(message)};
}

}  // namespace

bool AccountQueries::MustDeriveStartMonth(const Subsystem& self) {
    for (const Subsystem& s : subsystems())
        if (isParameterSet(m_db, s.startDate))
            return true;
    return self.related && isParameterSet(m_db, self.related->startDate);
}

StartPeriodVerdict AccountQueries::CheckStartPeriod(const Subsystem& self) {
    const std::span<const Subsystem> all = subsystems();
    {
        const auto december =
            m_db.OpenRecordset(QStringLiteral("select * from GL_mend Where iperiod=12"));
        for (const Subsystem& s : all)
            if (flagOf(*december, s.flag))
                return refused(s.decemberClosed);
    }

    // The supply-chain subsystems in table order, then the related one.
    std::vector<QString> months(all.size() + 1);
    for (size_t i = 0; i < all.size(); ++i)
        if (isParameterSet(m_db, all[i].startDate))
            months[i] = startMonthOf(m_db, all[i].startDate);
    QString& related = months[all.size()];
    const FinanceSubsystem* finance = self.related;
    if (finance && finance->monthFromClosings)
        related = ledgerMonth(m_db, *finance);
    else if (finance && isParameterSet(m_db, finance->startDate))
        related = startMonthOf(m_db, finance->startDate);

    const auto mend = m_db.OpenRecordset(QStringLiteral("select * from GL_mend order by iperiod"));
    for (size_t i = 0; i < all.size(); ++i) {
        if (months[i].isEmpty())
            continue;
        const auto open = openMonth(m_db, *mend, all[i].openMonth, all[i].flag, months[i]);
        if (!open)
            return refused();
        months[i] = *open;
    }
    if (!related.isEmpty()) {
        const auto open = openMonth(m_db, *mend, finance->openMonth, finance->flag, related);
        if (!open)
            return refused();
        related = *open;
    }

    QString derived;
    for (const QString& month : months) {
        if (!month.isEmpty()) {
            derived = month;
            break;
        }
    }
    for (const QString& month : months)
        if (!month.isEmpty() && month != derived)
            return refused("各系统结账月不一致，本模块不能建账");
    return {derived, QString()};
}

void LoadStartMonth(const Subsystem& self, ParameterReader& reader, GroupContext& g) {
    const QString box = QString::fromLatin1(self.monthBox);
    reader.find(self.startDate);
    const db::Value stored = reader.cValue();
    if (stored.hasText()) {
        if (const auto date = dateIn(stored)) {
            g.model.setText(box, QString::number(date->month()));
            g.model.setEnabled(box, false);
        }
        return;  // not a date: the box is left as it is
    }
    if (AccountQueries(g.DB).MustDeriveStartMonth(self)) {
        g.run.StartCheckMode = self.mode;
        g.model.setEnabled(box, false);
        g.model.setBackColor(box, LightGrey);
    }
}

}  // namespace zx::wizard
