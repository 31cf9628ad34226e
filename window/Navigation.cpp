// Next, Previous, Finish and Cancel, with the checks made before leaving a
// step.

#include "Main.h"

#include "core/Error.h"
#include "dbkit/HostDatabase.h"
#include "resources/ResourceProvider.h"
#include "vb/Vb.h"
#include "wizard/WBAS.h"

namespace zx::ui {

namespace {

constexpr int vbCritical = 16;

const char* const DepartmentMessage =
    "由于在仓库档案中几个不同计价方式"
    "的仓库属于同一部门，因此不能设置为按部门核算。"
    "如果仍想设置为按部门核算，请在仓库档案中"
    "改变相应仓库的计价方式来解决此问题。";

}  // namespace

PictureBox* Main::pageOfSysCode() const {
    if (SysCode == QLatin1String("ST"))
        return m_ui.PicS2;
    if (SysCode == QLatin1String("PU"))
        return m_ui.PicS3;
    if (SysCode == QLatin1String("SA"))
        return m_ui.PicS4;
    if (SysCode == QLatin1String("IA"))
        return m_ui.PicS5;
    return nullptr;
}

void Main::placePage(PictureBox* page, Frame* frame) {
    const MainControls& c = m_ui;
    moveTwips(frame, 0, 0);
    const QRect f = twips(frame);
    resizeTwips(page, f.width(), f.height());
    moveTwips(page, twips(c.PicS1).left() + twips(c.Fra1).left(), twips(c.PicS1).top());
}

void Main::ComN_Click() {
    MainControls& c = ui();
    if (tag(c.ComN) != QLatin1String("1"))
        return;
    if (c.Ch14->value() == 1) {
        const QString id = c.Te11->text();
        if (id.isEmpty()) {
            MsgBox(m_provider->GetText(1934, QStringLiteral("远程标识号必须录入")), vbCritical,
                   m_provider->GetText(1935, QStringLiteral("向导提示")));
            return;
        }
        const auto number = vb::NumericValue(id);
        if (!number || *number < 0 || *number > 99 || vb::Len(id) != 2) {
            MsgBox(QStringLiteral("远程标识号录入无效(数字00-99)"), vbCritical,
                   m_provider->GetText(1935, QString()));
            return;
        }
    }
    const bool nextHadFocus = c.ComN->hasFocus();
    c.ComP->setEnabled(true);
    c.ComE->setDefault(true);
    c.ComN->setVisible(false);
    c.ComC->setVisible(false);
    c.ComC1->setVisible(true);
    c.ComE->setVisible(true);
    setTag(c.ComN, QStringLiteral("2"));
    c.Ima1->setVisible(true);
    c.LaT->setText(QString());
    setBold(c.La1, false);
    setBold(c.La2, true);

    if (SysCode == QLatin1String("ST"))
        c.PicS2->setVisible(true);
    const std::pair<PictureBox*, Frame*> placed[] = {
        {c.PicS3, c.Fra3}, {c.PicS4, c.Fra4}, {c.PicS5, c.Fra5}};
    for (const auto& [page, frame] : placed) {
        if (page == pageOfSysCode()) {
            page->setVisible(true);
            placePage(page, frame);
        }
    }
    c.PicS1->setVisible(false);
    // Finish takes Next's place, and its focus: Enter goes on, not back.
    if (nextHadFocus)
        c.ComE->setFocus();
}

void Main::ComP_Click() {
    MainControls& c = ui();
    if (tag(c.ComN) != QLatin1String("2"))
        return;
    const bool previousHadFocus = c.ComP->hasFocus();
    c.ComN->setVisible(true);
    c.ComC->setVisible(true);
    c.ComC1->setVisible(false);
    c.ComE->setVisible(false);
    c.ComP->setEnabled(false);
    setTag(c.ComN, QStringLiteral("1"));
    c.Ima1->setVisible(false);
    c.LaT->setText(QString());
    c.PicS1->setVisible(true);
    setBold(c.La2, false);
    setBold(c.La1, true);
    c.ComN->setDefault(true);
    if (PictureBox* page = pageOfSysCode())
        page->setVisible(false);
    if (previousHadFocus)  // Previous is disabled now; Next goes on from here
        c.ComN->setFocus();
}

bool Main::MonthCheck(TextBox* box) {
    const QString month = box->text();
    if (month.isEmpty()) {
        MsgBox(m_provider->GetText(1937, QStringLiteral("必须录入启用月份")), vbCritical,
               m_provider->GetText(1935, QStringLiteral("向导提示")));
        return false;
    }
    const auto number = vb::NumericValue(month);
    const QString asDate = QString::number(QDate::currentDate().year()) + QLatin1Char('-') + month +
                           QStringLiteral("-1");
    if (!number || *number < 1 || *number > 12 || !vb::IsDate(asDate)) {
        MsgBox(m_provider->GetText(1938, QStringLiteral("启用月份录入无效")), vbCritical,
               m_provider->GetText(1935, QString()));
        return false;
    }
    return true;
}

bool Main::DepartmentCheck() {
    if (!HostDb)
        throw Error(QStringLiteral("the window has no database for the department check"));
    auto departments = HostDb->OpenRecordset(
        QStringLiteral("Select cDepCode From ") +
        QStringLiteral("Warehouse Where not(cDepCode is null) Group by cDepCode"));
    if (departments->Bof() && departments->Eof())
        return true;
    while (!departments->Eof()) {
        const QString code = departments->Recordset()
                                 .Fields(QStringLiteral("cDepCode"))
                                 .toText(QStringLiteral("cDepCode"));
        auto styles = HostDb->OpenRecordset(QStringLiteral("Select cDepcode,cWhValueStyle ") +
                                                QStringLiteral("from Warehouse Where cDepcode=?") +
                                                QStringLiteral(" Group By cDepcode,cWhValueStyle"),
                                            {}, {code});
        if (styles->RecordCount() > 1) {
            MsgBox(m_provider->GetText(1944, QString::fromUtf8(DepartmentMessage)), vbCritical,
                   m_provider->GetText(1935, QString()));
            m_ui.Op51->setValue(true);
            return false;
        }
        departments->MoveNext();
    }
    return true;
}

void Main::ComE_Click() {
    MainControls& c = ui();
    if (SysCode == QLatin1String("ST") && ownEnabled(c.Te26) && !MonthCheck(c.Te26))
        return;
    if (SysCode == QLatin1String("PU") && ownEnabled(c.Te33) && !MonthCheck(c.Te33))
        return;
    if (SysCode == QLatin1String("SA")) {
        if (c.Ch49->value() == 1 && c.Te41->text().isEmpty()) {
            MsgBox(m_provider->GetText(1941, QStringLiteral("必须录入信用额度控制口令")),
                   vbCritical, m_provider->GetText(1935, QStringLiteral("向导提示")));
            return;
        }
        if (c.Ch410->value() == 1 && c.Te42->text().isEmpty()) {
            MsgBox(m_provider->GetText(1942, QStringLiteral("必须录入最低售价控制口令")),
                   vbCritical, m_provider->GetText(1935, QStringLiteral("向导提示")));
            return;
        }
        if (ownEnabled(c.Te43) && !MonthCheck(c.Te43))
            return;
    }
    if (SysCode == QLatin1String("IA")) {
        if (c.Op52->value() && !DepartmentCheck())
            return;
        if (ownEnabled(c.Te55) && !MonthCheck(c.Te55))
            return;
    }
    c.Ima4->setVisible(true);
    setMousePointer(11);
    hide();
}

void Main::ComC_Click() {
    WBAS::CancelCode = 3;
    if (WBAS::MainIfLoaded() == this)
        WBAS::UnloadMain();
    else
        hide();  // a window that is not the module's instance just closes
}

}  // namespace zx::ui
