// The rules that react to option changes at once: existing-data guards,
// classification guards, enabling rules, the plan captions and the key
// filter of the remote identifier. They run on clicks made by code too.

#include "Main.h"

#include "core/Error.h"
#include "dbkit/HostDatabase.h"
#include "resources/ResourceProvider.h"
#include "wizard/WBAS.h"

namespace zx::ui {

namespace {

constexpr int vbCritical = 16;
const char* const RuleTitle = "向导提示";

bool isEmpty(const db::HostRecordset& rs) {
    return rs.Bof() && rs.Eof();
}

}  // namespace

void Main::ExistingDataGuard(CheckBox* box, const QString& sql, const QString& message) {
    if (box->value() == 1)
        return;
    if (!HostDb)
        throw Error(QStringLiteral("the window has no database for its guards"));
    const auto rs = HostDb->OpenRecordset(sql);
    if (!isEmpty(*rs)) {
        MsgBox(message, vbCritical, QString::fromUtf8(RuleTitle));
        box->setValue(1);
    }
}

void Main::ClassificationGuard(CheckBox* box, const QString& sql, const QString& codeColumn,
                               const QString& message) {
    if (box->value() == 1)
        return;
    if (!HostDb)
        throw Error(QStringLiteral("the window has no database for its guards"));
    const auto rs = HostDb->OpenRecordset(sql);
    if (isEmpty(*rs)) {
        setTag(box, QStringLiteral("Y"));
        return;
    }
    setTag(box, QStringLiteral("N"));
    rs->MoveLast();
    bool refuse = rs->RecordCount() != 1;
    if (!refuse) {
        const db::Value code = rs->Recordset().Fields(codeColumn);
        refuse = code.isNull() || code.variant().toString() != QLatin1String("00");
    }
    if (refuse) {
        MsgBox(message, vbCritical, QString::fromUtf8(RuleTitle));
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
    ExistingDataGuard(c.Ch11, QStringLiteral("select * from Inventory Where cInvA_Unit<>''"),
                      QStringLiteral("已存在有辅计量单位存货，不能修改此项设置"));
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

template <class F>
void Main::handle(F&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        if (isVisible())
            MsgBox(QString::fromUtf8(error.what()), vbCritical, QString::fromUtf8(RuleTitle));
        else if (!m_pendingError)
            m_pendingError = std::current_exception();
    }
}

void Main::rethrowHandlerError() {
    if (m_pendingError)
        std::rethrow_exception(std::exchange(m_pendingError, nullptr));
}

void Main::connectHandlers() {
    MainControls& c = m_ui;
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { handle(handler); });
    };
    on(c.ComN, &QPushButton::clicked, [this] { ComN_Click(); });
    on(c.ComP, &QPushButton::clicked, [this] { ComP_Click(); });
    on(c.ComE, &QPushButton::clicked, [this] { ComE_Click(); });
    on(c.ComC, &QPushButton::clicked, [this] { ComC_Click(); });
    on(c.ComC1, &QPushButton::clicked, [this] { ComC_Click(); });

    on(c.Ch11, &CheckBox::Click, [this] { Ch11_Click(); });
    const struct {
        CheckBox* box;
        const char* sql;
        const char* message;
    } guards[] = {
        {c.Ch13, "select * from Inventory Where bAccessary<>0",
         "已存在有成套件管理的存货，不能修改此项设置"},
        {c.Ch21, "select * from Inventory Where bInvBatch<>0",
         "已存在有批次管理的存货，不能修改此项设置"},
        {c.Ch22, "select * from Inventory Where bInvQuality<>0",
         "已存在有保质期管理的存货，不能修改此项设置"},
        {c.Ch32, "select * from Inventory Where bInvEntrust<>0",
         "已存在有受托代销的存货，不能修改此项设置"},
    };
    for (const auto& guard : guards) {
        on(guard.box, &CheckBox::Click,
           [this, box = guard.box, sql = QString::fromUtf8(guard.sql),
            message = QString::fromUtf8(guard.message)] { ExistingDataGuard(box, sql, message); });
    }
    const struct {
        CheckBox* box;
        const char* sql;
        const char* column;
        const char* message;
    } classes[] = {
        {c.Ch15, "Select * from InventoryClass", "cInvCCode", "存货已有分类，不能设置为不分类"},
        {c.Ch16, "Select * from CustomerClass", "cCCCode", "客户已有分类，不能设置为不分类"},
        {c.Ch17, "Select * from VendorClass", "cVCCode", "供应商已有分类，不能设置为不分类"},
    };
    for (const auto& guard : classes) {
        on(guard.box, &CheckBox::Click,
           [this, box = guard.box, sql = QString::fromUtf8(guard.sql),
            column = QString::fromUtf8(guard.column), message = QString::fromUtf8(guard.message)] {
               ClassificationGuard(box, sql, column, message);
           });
    }
    const std::tuple<CheckBox*, Label*, TextBox*> enabling[] = {
        {c.Ch14, c.La15, c.Te11}, {c.Ch49, c.La45, c.Te41}, {c.Ch410, c.La46, c.Te42}};
    for (const auto& [box, label, text] : enabling)
        on(box, &CheckBox::Click,
           [this, box = box, label = label, text = text] { EnablingRule(box, label, text); });
    on(c.Op51, &OptionButton::Click, [this] { UpdatePlanOptionCaptions(); });
    on(c.Op52, &OptionButton::Click, [this] { UpdatePlanOptionCaptions(); });
    c.Te11->setKeyPressHandler([this](std::int16_t& key) { Te11_KeyPress(key); });
}

}  // namespace zx::ui
