// Start period and month-end checks: a subsystem set up after others have
// started must start in the month they now stand in, and cannot start at all
// once one of them has closed December.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "window/Main.h"

#include <array>

namespace zx::wizard {

namespace {

constexpr int vbCritical = 16;
const char* const Title = "向导提示";

// The supply-chain subsystems in the order every step walks them.
constexpr std::array<Param, 4> StartDates = {ST::dSTStartDate, PU::dPUStartDate, SA::dSaleStartDate,
                                             IA::dIAStartDate};
constexpr std::array<const char*, 4> Flags = {"bflag_ST", "bflag_PU", "bflag_SA", "bflag_IA"};

bool flagOf(db::HostRecordset& rs, const char* flag) {
    return rs.Recordset().Fields(QString::fromLatin1(flag)).isTrueFlag();
}

QString monthText(const db::Value& v) {
    return QString::number(v.variant().toLongLong());
}

QString startMonthOf(db::HostDatabase& DB, const Param& p) {
    const QString what =
        QString::fromLatin1(p.sys) + QLatin1Char(' ') + QString::fromLatin1(p.name);
    return QString::number(dateOf(singleValue(DB, p), what).month());
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

// The first open period by a min() query; nullopt when there is none.
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

}  // namespace

bool Wizard::MustDeriveStartMonth(db::HostDatabase& DB, std::int16_t& mode) {
    for (const Param& p : StartDates)
        if (isParameterSet(DB, p))
            return true;
    switch (mode) {
        case 2:
            return isParameterSet(DB, dAPStartDate);
        case 3:
            return isParameterSet(DB, dARStartDate);
        case 4:
            return isParameterSet(DB, dGLStartDate);
        default:
            return false;
    }
}

bool Wizard::CheckStartPeriod(db::HostDatabase& DB, std::int16_t& mode) {
    {
        const auto december =
            DB.OpenRecordset(QStringLiteral("select * from GL_mend Where iperiod=12"));
        const char* const messages[] = {
            "库存系统12月已结账，本模块本年度不能启用",
            "采购系统12月已结账，本模块本年度不能启用",
            "销售系统12月已结账，本模块本年度不能启用",
            "存货系统12月已结账，本模块本年度不能启用",
        };
        for (size_t i = 0; i < Flags.size(); ++i) {
            if (flagOf(*december, Flags[i])) {
                WBAS::MsgBox(QString::fromUtf8(messages[i]), vbCritical, QString::fromUtf8(Title));
                return false;
            }
        }
    }

    // ST, PU, SA, IA and the related finance subsystem.
    std::array<QString, 5> months;
    for (size_t i = 0; i < StartDates.size(); ++i)
        if (isParameterSet(DB, StartDates[i]))
            months[i] = startMonthOf(DB, StartDates[i]);

    QString& related = months[4];
    if (mode == 4) {
        const auto closed = DB.OpenRecordset(
            QStringLiteral("SELECT max(iperiod) as iMaxMonth from GL_mEnd where bflag=1"));
        if (!(closed->Bof() && closed->Eof()))
            closed->MoveLast();
        const db::Value last = closed->Recordset().Fields(QStringLiteral("iMaxMonth"));
        if (last.isNull()) {
            related = QStringLiteral("1");
            if (!isParameterSet(DB, dGLStartDate))
                related.clear();
        } else {
            related = QString::number(last.variant().toLongLong() + 1);
        }
    } else if (mode == 3 && isParameterSet(DB, dARStartDate)) {
        related = startMonthOf(DB, dARStartDate);
    } else if (mode == 2 && isParameterSet(DB, dAPStartDate)) {
        related = startMonthOf(DB, dAPStartDate);
    }

    const auto mend = DB.OpenRecordset(QStringLiteral("select * from GL_mend order by iperiod"));
    if (!months[0].isEmpty()) {
        const auto open = firstOpenPeriod(DB, *mend, "bflag_ST", months[0]);
        if (!open)
            return false;
        months[0] = *open;
    }
    for (size_t i = 1; i < 4; ++i)
        if (!months[i].isEmpty())
            months[i] = walkOpenMonth(*mend, Flags[i], months[i]);

    if (!related.isEmpty()) {
        if (mode == 4) {
            const auto open = firstOpenPeriod(DB, *mend, "bflag", related);
            if (!open)
                return false;
            related = *open;
        } else if (mode == 3) {
            related = walkOpenMonth(*mend, "bflag_AR", related);
        } else if (mode == 2) {
            related = walkOpenMonth(*mend, "bflag_AP", related);
        }
    }

    QString derived;
    for (const QString& month : months) {
        if (!month.isEmpty()) {
            derived = month;
            break;
        }
    }
    for (const QString& month : months) {
        if (!month.isEmpty() && month != derived) {
            WBAS::MsgBox(QStringLiteral("各系统结账月不一致，本模块不能建账"), vbCritical,
                         QString::fromUtf8(Title));
            return false;
        }
    }

    ui::MainControls& c = WBAS::MainForm().ui();
    ui::TextBox* const boxes[] = {c.Te26, c.Te33, c.Te43, c.Te55};
    if (mode >= 1 && mode <= 4)
        boxes[mode - 1]->setText(derived);
    return true;
}

void Wizard::LoadStartMonth(db::HostDatabase& DB, ParameterReader& reader, const Param& p,
                            ui::TextBox* box, std::int16_t mode, std::int16_t askMode) {
    reader.find(p);
    const db::Value stored = reader.cValue();
    if (stored.hasText()) {
        if (const auto date = dateIn(stored)) {
            box->setText(QString::number(date->month()));
            box->setEnabled(false);
        }
        return;  // not a date: the box is left as it is
    }
    if (MustDeriveStartMonth(DB, askMode)) {
        WBAS::StartCheckMode = mode;
        box->setEnabled(false);
        ui::setBackColor(box, 0x00C0C0C0);
    }
}

}  // namespace zx::wizard
