// The rules that react to option changes at once: existing-data guards,
// classification guards, enabling rules, the plan captions and the key
// filter of the remote identifier. They run on clicks made by code too.

#include "Main.h"

#include "core/Error.h"
#include "resources/ResourceProvider.h"
#include "wizard/AccountQueries.h"

namespace zx::ui {

wizard::AccountQueries& Main::queries() {
    if (!m_queries)
        throw Error(QStringLiteral("the window serves no run: it has no account to ask"));
    return *m_queries;
}

void Main::ExistingDataGuard(CheckBox* box, const wizard::ExistingDataGuard& guard) {
    if (box->value() == 1)
        return;
    if (queries().hasDataFor(guard)) {
        MsgBox(QString::fromUtf8(guard.message), wizard::vbCritical,
               QString::fromUtf8(wizard::GuideTitle));
        box->setValue(1);
    }
}

void Main::ClassificationGuard(CheckBox* box, const wizard::Classification& kind) {
    if (box->value() == 1)
        return;
    const wizard::ClassificationVerdict verdict = queries().classification(kind);
    setTag(box, verdict.tag);
    if (verdict.refused) {
        MsgBox(QString::fromUtf8(kind.message), wizard::vbCritical,
               QString::fromUtf8(wizard::GuideTitle));
        box->setValue(1);
    }
}

void Main::EnablingRule(CheckBox* box, Label* label, TextBox* text) {
    const bool on = box->value() != 0;
    label->setEnabled(on);
    text->setEnabled(on);
    if (!on)
        text->setText(QString());
}

void Main::Ch11_Click() {
    MainControls& c = ui();
    // Fixed conversion rates only make sense with auxiliary units.
    if (c.Ch11->value() == 0) {
        c.Ch18->setValue(0);
        c.Ch18->setEnabled(false);
    } else {
        c.Ch18->setEnabled(true);
    }
}

void Main::UpdatePlanOptionCaptions() {
    MainControls& c = m_ui;
    if (c.Op51->value()) {
        c.Op511->setText(m_provider->GetText(1791, QStringLiteral("按仓库")));
        c.Op514->setText(m_provider->GetText(2021, QStringLiteral("按仓库 + 存货分类")));
        c.Op515->setText(m_provider->GetText(2022, QStringLiteral("按仓库 + 存货")));
    } else {
        c.Op511->setText(QStringLiteral("按部门"));
        c.Op514->setText(QStringLiteral("按部门 + 存货分类"));
        c.Op515->setText(QStringLiteral("按部门 + 存货"));
    }
}

void Main::Te11_KeyPress(std::int16_t& KeyAscii) {
    // Signed: codes of 0x8000 and above are negative and pass like control keys.
    if (KeyAscii > 32 && (KeyAscii < 48 || KeyAscii > 57))
        KeyAscii = 0;
}

}  // namespace zx::ui
