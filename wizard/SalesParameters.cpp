// Sales (SA) on page Fra4, with the period-0 mark of GL_mend and the begin
// date of the start period.

#include "ParameterGroups.h"
#include "ParameterRows.h"
#include "SetupModel.h"
#include "core/Error.h"
#include "vb/Vb.h"

namespace zx::wizard {

namespace {

constexpr SwitchBox Exchange{SA::bExchange, "Ch41"};
constexpr SwitchBox Switches[] = {{AA::bCommitSell, "Ch42"}, {SA::bSaleDaily, "Ch43"},
                                  {SA::bSaleMove, "Ch44"},   {SA::bDispatch, "Ch45"},
                                  {SA::bOverOrder, "Ch46"},  {SA::bSalePrice, "Ch47"},
                                  {SA::bPlanMoney, "Ch48"}};

// A control switch with its password box.
struct ControlPassword {
    SwitchBox control;
    Param password;
    const char* box;
};
constexpr ControlPassword CreditLimit{{SA::bCredit, "Ch49"}, SA::cCreditPwd, "Te41"};
constexpr ControlPassword LowestPrice{{SA::bLowPrice, "Ch410"}, SA::cLowPricePwd, "Te42"};

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// Ticked, the stored password is shown: from cValue when the switch was
// read from its cValue, else from cDefault. The window sets it after the
// box, whose Click empties the password box.
void loadControlPassword(ParameterReader& r, SetupModel& m, const ControlPassword& c) {
    r.find(c.control.param);
    const db::Value stored = r.cValue();
    const bool fromValue = stored.hasText();
    const db::Value flag = fromValue ? stored : r.cDefault();
    if (!flag.isNull() && vb::UCase(flag.variant().toString()) == QLatin1String("TRUE")) {
        m.setCheck(latin(c.control.box), 1);
        r.find(c.password);
        const db::Value password = fromValue ? r.cValue() : r.cDefault();
        m.setStoredText(latin(c.box), password, nameOf(c.password));
    } else {
        m.setCheck(latin(c.control.box), 0);
    }
}

void saveControlPassword(db::HostDatabase& DB, const SetupModel& m, const ControlPassword& c) {
    if (m.ticked(latin(c.control.box))) {
        writeSwitch(DB, c.control.param, true);
        writeBox(DB, c.password, m, latin(c.box));
    } else {
        writeSwitch(DB, c.control.param, false);
        writeText(DB, c.password, QString());
    }
}

// The period table is keyed by numbers: a year or month that is not a whole
// number names no period, and the save fails on it.
qlonglong wholeNumber(const QString& text, const QString& what) {
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw Error(QStringLiteral("%1 \"%2\" is not a whole number").arg(what, text));
    return number;
}

}  // namespace

void LoadSalesParameters(const Subsystem& self, GroupContext& g) {
    SetupModel& m = g.model;
    ParameterReader r(g.DB, &g.run.shown);
    m.setEnabled(QStringLiteral("Ch14"), true);
    loadForeignCurrencyBox(r, m, Exchange);
    for (const SwitchBox& s : Switches)
        loadSwitch(r, m, s);
    loadControlPassword(r, m, CreditLimit);
    loadControlPassword(r, m, LowestPrice);
    LoadStartMonth(self, r, g);
}

void SaveSalesParameters(const Subsystem& self, GroupContext& g) {
    db::HostDatabase& DB = g.DB;
    const SetupModel& m = g.model;
    saveSwitch(DB, m, Exchange);
    for (const SwitchBox& s : Switches)
        saveSwitch(DB, m, s);
    saveControlPassword(DB, m, CreditLimit);
    saveControlPassword(DB, m, LowestPrice);
    const QString month = m.text(latin(self.monthBox));
    writeText(DB, self.startDate, startDateText(g.run.AccountYear, month));

    {
        const auto opening =
            DB.OpenRecordset(QStringLiteral("Select * from GL_mend Where iperiod=0"));
        if (opening->Bof() && opening->Eof())
            DB.Execute(QStringLiteral("Insert into GL_mend (iperiod,bpri_check) Values (0,1)"));
        else
            DB.Execute(QStringLiteral("Update GL_mend set bpri_check=1 Where iperiod=0"));
    }

    const auto period = DB.OpenRecordset(
        QStringLiteral(
            "select dBegin from zxsystem..ua_period where cAcc_Id=? and iyear=? and iId=?"),
        {},
        {g.run.AccountId, wholeNumber(g.run.AccountYear, QStringLiteral("the account year")),
         wholeNumber(month, QStringLiteral("the start month"))});
    const QDate begin = dateOf(period->Recordset().Fields(QStringLiteral("dBegin")),
                               QStringLiteral("ua_period dBegin"));
    writeText(DB, SA::dStartDate, begin.toString(Qt::ISODate));
}

}  // namespace zx::wizard
