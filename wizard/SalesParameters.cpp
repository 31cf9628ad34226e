// Sales (SA) on page Fra4, with the period-0 mark of GL_mend and the begin
// date of the start period.

#include "ParameterStore.h"
#include "WBAS.h"
#include "Wizard.h"
#include "core/Error.h"
#include "vb/Vb.h"
#include "window/Main.h"

namespace zx::wizard {

namespace {

// A control switch with its password: ticked, the stored password is shown;
// the password is set after the box, whose Click empties the text box.
void loadControlPassword(ui::Main& main, ParameterReader& r, const Param& flag,
                         const Param& password, ui::CheckBox* box, ui::TextBox* text) {
    r.find(flag);
    const db::Value stored = r.cValue();
    const bool fromValue = stored.hasText();
    const db::Value flagValue = fromValue ? stored : r.cDefault();
    if (!flagValue.isNull() && vb::UCase(flagValue.variant().toString()) == QLatin1String("TRUE")) {
        setCheck(main, box, 1);
        r.find(password);
        const QString what = QString::fromLatin1(password.sys) + QLatin1Char(' ') +
                             QString::fromLatin1(password.name);
        text->setText(fromValue ? r.cValue().toText(what) : r.cDefault().toText(what));
    } else {
        setCheck(main, box, 0);
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

void saveControlPassword(db::HostDatabase& DB, const Param& flag, const Param& password,
                         const ui::CheckBox* box, const ui::TextBox* text) {
    if (box->value() == 1) {
        writeSwitch(DB, flag, true);
        writeText(DB, password, text->text());
    } else {
        writeSwitch(DB, flag, false);
        writeText(DB, password, QString());
    }
}

}  // namespace

void Wizard::LoadSalesParameters(db::HostDatabase& DB) {
    ui::Main& main = WBAS::MainForm();
    ui::MainControls& c = main.ui();
    ParameterReader r(DB);
    c.Ch14->setEnabled(true);

    loadForeignCurrencyBox(main, r, c.Ch41, SA::bExchange);

    setCheck(main, c.Ch42, r.checkValue(AA::bCommitSell));
    setCheck(main, c.Ch43, r.checkValue(SA::bSaleDaily));
    setCheck(main, c.Ch44, r.checkValue(SA::bSaleMove));
    setCheck(main, c.Ch45, r.checkValue(SA::bDispatch));
    setCheck(main, c.Ch46, r.checkValue(SA::bOverOrder));
    setCheck(main, c.Ch47, r.checkValue(SA::bSalePrice));
    setCheck(main, c.Ch48, r.checkValue(SA::bPlanMoney));

    loadControlPassword(main, r, SA::bCredit, SA::cCreditPwd, c.Ch49, c.Te41);
    loadControlPassword(main, r, SA::bLowPrice, SA::cLowPricePwd, c.Ch410, c.Te42);

    LoadStartMonth(DB, r, SA::dSaleStartDate, c.Te43, 3, 3);
}

void Wizard::SaveSalesParameters(db::HostDatabase& DB) {
    const ui::MainControls& c = WBAS::MainForm().ui();
    writeSwitch(DB, SA::bExchange, c.Ch41);
    writeSwitch(DB, AA::bCommitSell, c.Ch42);
    writeSwitch(DB, SA::bSaleDaily, c.Ch43);
    writeSwitch(DB, SA::bSaleMove, c.Ch44);
    writeSwitch(DB, SA::bDispatch, c.Ch45);
    writeSwitch(DB, SA::bOverOrder, c.Ch46);
    writeSwitch(DB, SA::bSalePrice, c.Ch47);
    writeSwitch(DB, SA::bPlanMoney, c.Ch48);
    saveControlPassword(DB, SA::bCredit, SA::cCreditPwd, c.Ch49, c.Te41);
    saveControlPassword(DB, SA::bLowPrice, SA::cLowPricePwd, c.Ch410, c.Te42);
    writeText(DB, SA::dSaleStartDate, startDateText(AccountYear, c.Te43->text()));

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
        {AccountId, wholeNumber(AccountYear, QStringLiteral("the account year")),
         wholeNumber(c.Te43->text(), QStringLiteral("the start month"))});
    const QDate begin = dateOf(period->Recordset().Fields(QStringLiteral("dBegin")),
                               QStringLiteral("ua_period dBegin"));
    writeText(DB, SA::dStartDate, begin.toString(Qt::ISODate));
}

}  // namespace zx::wizard
