// Next, Previous, Finish and Cancel, with the checks made before leaving a
// step.

#include "Main.h"

#include "core/Error.h"
#include "resources/ResourceProvider.h"
#include "wizard/AccountQueries.h"
#include "wizard/InputChecks.h"
#include "wizard/Subsystems.h"

#include <QDate>

namespace zx::ui {

namespace {

using wizard::Entry;
using wizard::vbCritical;

const char* const DepartmentMessage =
    "由于在仓库档案中几个不同计价方式"
    "的仓库属于同一部门，因此不能设置为按部门核算。"
    "如果仍想设置为按部门核算，请在仓库档案中"
    "改变相应仓库的计价方式来解决此问题。";

}  // namespace

const QString Main::StepOne = QStringLiteral("1");
const QString Main::StepTwo = QStringLiteral("2");

void Main::showPageOfSysCode(bool shown) {
    const wizard::Subsystem* subsystem = wizard::subsystemOf(SysCode);
    if (!subsystem)
        return;
    QWidget* page = control(QString::fromLatin1(subsystem->page));
    page->setVisible(shown);
    if (!shown || !subsystem->placedAtPageOne)
        return;
    // The page's frame lines up with the frame of page 1.
    QWidget* frame = control(QString::fromLatin1(subsystem->frame));
    moveTwips(frame, 0, 0);
    const QRect f = twips(frame);
    resizeTwips(page, f.width(), f.height());
    moveTwips(page, twips(m_ui.PicS1).left() + twips(m_ui.Fra1).left(), twips(m_ui.PicS1).top());
}

void Main::ComN_Click() {
    MainControls& c = ui();
    if (tag(c.ComN) != StepOne)
        return;
    if (c.Ch14->value() == 1) {
        switch (wizard::checkRemoteId(c.Te11->text())) {
            case Entry::Missing:
                MsgBox(m_provider->GetText(1934, QStringLiteral("远程标识号必须录入")), vbCritical,
                       m_provider->GetText(1935, QStringLiteral("向导提示")));
                return;
            case Entry::Invalid:
                MsgBox(QStringLiteral("远程标识号录入无效(数字00-99)"), vbCritical,
                       m_provider->GetText(1935, QString()));
                return;
            case Entry::Valid:
                break;
        }
    }
    c.ComP->setEnabled(true);
    // Completing takes Finish itself: Enter in a box or on a switch of this
    // step presses nothing, so no key meant for a box finishes a setup.
    c.ComN->setDefault(false);
    c.ComE->setDefault(false);
    c.ComN->setVisible(false);
    c.ComC->setVisible(false);
    c.ComC1->setVisible(true);
    c.ComE->setVisible(true);
    setTag(c.ComN, StepTwo);
    c.Ima1->setVisible(true);
    c.LaT->setText(QString());
    setBold(c.La1, false);
    setBold(c.La2, true);
    showPageOfSysCode(true);
    c.PicS1->setVisible(false);
    enterStep(c.La2, c.ComE);
}

void Main::ComP_Click() {
    MainControls& c = ui();
    if (tag(c.ComN) != StepTwo)
        return;
    c.ComN->setVisible(true);
    c.ComC->setVisible(true);
    c.ComC1->setVisible(false);
    c.ComE->setVisible(false);
    c.ComP->setEnabled(false);
    setTag(c.ComN, StepOne);
    c.Ima1->setVisible(false);
    c.LaT->setText(QString());
    c.PicS1->setVisible(true);
    setBold(c.La2, false);
    setBold(c.La1, true);
    c.ComN->setDefault(true);
    showPageOfSysCode(false);
    enterStep(c.La1, c.ComN);
}

// A step change puts the focus on the first control of the page now shown,
// in its focus order, that can take it (else on `fallback`), and names the
// step in the window's description, which a screen reader announces.
void Main::enterStep(const QLabel* step, QWidget* fallback) {
    setAccessibleDescription(step->text());
    QWidget* target = fallback;
    for (const auto& [page, order] : m_pageFocusOrders) {
        if (!page->isVisibleTo(this))
            continue;
        for (QWidget* w : order) {
            if (w->isVisibleTo(this) && w->isEnabled()) {
                target = w;
                break;
            }
        }
    }
    target->setFocus(Qt::OtherFocusReason);
}

bool Main::MonthCheck(TextBox* box) {
    switch (wizard::checkStartMonth(box->text(), QDate::currentDate().year())) {
        case Entry::Missing:
            MsgBox(m_provider->GetText(1937, QStringLiteral("必须录入启用月份")), vbCritical,
                   m_provider->GetText(1935, QStringLiteral("向导提示")));
            return false;
        case Entry::Invalid:
            MsgBox(m_provider->GetText(1938, QStringLiteral("启用月份录入无效")), vbCritical,
                   m_provider->GetText(1935, QString()));
            return false;
        case Entry::Valid:
            break;
    }
    return true;
}

bool Main::DepartmentCheck() {
    if (queries().departmentsValueAlike())
        return true;
    MsgBox(m_provider->GetText(1944, QString::fromUtf8(DepartmentMessage)), vbCritical,
           m_provider->GetText(1935, QString()));
    m_ui.Op51->setValue(true);
    return false;
}

void Main::ComE_Click() {
    MainControls& c = ui();
    using Before = wizard::Subsystem::Before;
    if (const wizard::Subsystem* subsystem = wizard::subsystemOf(SysCode)) {
        if (subsystem->finishChecks == Before::ControlPasswords) {
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
        }
        if (subsystem->finishChecks == Before::Departments && c.Op52->value() && !DepartmentCheck())
            return;
        // A month the loads locked is not checked.
        auto* month = static_cast<TextBox*>(control(QString::fromLatin1(subsystem->monthBox)));
        if (ownEnabled(month) && !MonthCheck(month))
            return;
    }
    c.Ima4->setVisible(true);
    setMousePointer(11);
    hide();
}

void Main::ComC_Click() {
    m_ending = Ending::Cancelled;
    hide();
}

}  // namespace zx::ui
