#include "Main.h"

#include "HelpTexts.h"
#include "MessageBox.h"
#include "resources/ResourceProvider.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QTimer>

namespace zx::ui {

Main::Main() {
    buildForm();
    connectHandlers();
    // Help follows the pointer over every listed control, and the keyboard
    // focus; a screen reader reads it as the control's description.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (hasHelpText(control->objectName())) {
            control->setMouseTracking(true);
            control->installEventFilter(this);
            control->setAccessibleDescription(helpTextFor(control->objectName()));
        }
    }
}

Main::~Main() = default;

MainControls& Main::ui() {
    if (!m_formLoaded)
        Form_Load();
    return m_ui;
}

void Main::Form_Load() {
    m_formLoaded = true;  // handlers raised below read controls through ui()
    m_provider = std::make_unique<ResourceProvider>();
    LoadCaptions();
    MainControls& c = m_ui;
    setTag(c.ComP, StepOne);
    setTag(c.ComN, StepOne);
    c.ComP->setEnabled(false);
    c.ComE->setVisible(false);
    c.ComC1->setVisible(false);
    c.PicS1->setVisible(true);
    for (QWidget* page : {c.PicS2, c.PicS3, c.PicS4, c.PicS5})
        page->setVisible(false);
    c.Ima1->setVisible(false);
    c.Ima4->setVisible(false);
    setBold(c.La1, true);
    c.ComN->setDefault(true);  // Enter goes forward, as in any wizard
}

void Main::LoadCaptions() {
    MainControls& c = m_ui;
    const ResourceProvider& rp = *m_provider;
    setWindowTitle(rp.GetText(1965, QStringLiteral("建账向导")));

    const std::pair<CommandButton*, ResourceProvider::Picture> pictures[] = {
        {c.ComP, ResourceProvider::Previous},
        {c.ComN, ResourceProvider::Next},
        {c.ComC, ResourceProvider::Cancel},
        {c.ComC1, ResourceProvider::Cancel}};
    for (const auto& [button, picture] : pictures)
        button->setPicture(
            [provider = &rp, picture = picture] { return provider->GetPicture(picture); });

    c.FraB->setTitle(rp.GetText(1966, QStringLiteral("步骤")));
    c.La1->setText(rp.GetText(1967, QStringLiteral("1.公共参数")));
    setAccessibleDescription(c.La1->text());  // the step a screen reader names
    c.La2->setText(rp.GetText(1968, QStringLiteral("2.业务范围")));

    c.Fra1->setTitle(rp.GetText(1971, QStringLiteral("公用参数")));
    c.Fra2->setTitle(rp.GetText(1972, QStringLiteral("库存管理业务范围")));
    c.Fra3->setTitle(rp.GetText(1973, QStringLiteral("采购管理业务范围")));
    c.Fra4->setTitle(rp.GetText(1974, QStringLiteral("销售管理业务范围")));
    c.Fra5->setTitle(rp.GetText(1975, QStringLiteral("存货核算业务范围")));

    struct Caption {
        QAbstractButton* control;
        int id;
        const char* fallback;
    };
    const Caption buttons[] = {
        {c.Ch11, 1978, "存货有无辅计量单位"},
        {c.Ch12, 1979, "是否允许零出库"},
        {c.Ch13, 1980, "有无成套件管理"},
        {c.Ch14, 1981, "有无远程应用"},
        {c.Ch21, 1982, "有无批次管理"},
        {c.Ch22, 1983, "有无保质期管理"},
        {c.Ch23, 1984, "有无组装拆卸业务"},
        {c.Ch24, 1985, "有无形态转换业务"},
        {c.Ch25, 1986, "是否有最高最低库存报警"},
        {c.Ch31, 1987, "有无外币业务"},
        {c.Ch32, 1988, "有无受托代销业务"},
        {c.Ch41, 1987, "有无外币业务"},
        {c.Ch42, 1989, "有无委托代销业务"},
        {c.Ch43, 1990, "有无零售日报业务"},
        {c.Ch44, 1991, "有无销售调拨业务"},
        {c.Ch45, 1992, "是否先发货后开票"},
        {c.Ch47, 1994, "销售报价是否含税"},
        {c.Ch48, 1995, "销售计划金额是否含税"},
        {c.Ch49, 1996, "是否有信用额度控制"},
        {c.Ch410, 1997, "是否有最低售价控制"},
        {c.Op51, 2009, "按仓库核算"},
        {c.Op52, 2010, "按部门核算"},
        {c.Op53, 2011, "月初回冲"},
        {c.Op54, 2012, "单到回冲"},
        {c.Op55, 2013, "单到补差"},
        {c.Op56, 2014, "上次出库成本价"},
        {c.Op57, 2015, "参考成本价"},
        {c.Op58, 2016, "结存成本价"},
        {c.Op59, 2017, "上次入库成本价"},
    };
    for (const Caption& caption : buttons)
        caption.control->setText(rp.GetText(caption.id, QString::fromUtf8(caption.fallback)));
    c.Ch46->setText(QStringLiteral("可否超订量发货"));
    c.Op510->setText(QStringLiteral("手工输入"));

    struct LabelCaption {
        QLabel* label;
        int id;
        const char* fallback;
    };
    const LabelCaption labels[] = {
        {c.La15, 1998, "标识号"},
        {c.La26, 1999, "启用月份"},
        {c.La33, 1999, ""},
        {c.La45, 2001, "控制口令"},
        {c.La46, 2001, ""},
        {c.La47, 1999, "启用月份"},
        {c.La51, 2002, "核算方式"},
        {c.La52, 2003, "暂估处理方式"},
        {c.La53, 2004, "零出库成本选择"},
        {c.La54, 2005, "存货资金占用规划设置"},
        {c.La55, 1999, ""},
    };
    for (const LabelCaption& caption : labels) {
        caption.label->setText(rp.GetText(caption.id, QString::fromUtf8(caption.fallback)));
        // An option group, the picture box its heading stands in, is read by
        // that heading (also when a texts file leaves it empty), its options
        // within it.
        if (auto* group = qobject_cast<PictureBox*>(caption.label->parentWidget()))
            group->setAccessibleName(caption.label->text().isEmpty()
                                         ? QString::fromUtf8(caption.fallback)
                                         : caption.label->text());
    }

    UpdatePlanOptionCaptions();  // no option is selected yet: department wording
    c.Op512->setText(rp.GetText(2019, QStringLiteral("按存货分类")));
    c.Op513->setText(rp.GetText(2020, QStringLiteral("按存货")));
    c.Op516->setText(rp.GetText(2023, QStringLiteral("按存货分类 + 存货")));

    const std::pair<CheckBox*, std::pair<Label*, TextBox*>> pairs[] = {
        {c.Ch14, {c.La15, c.Te11}}, {c.Ch49, {c.La45, c.Te41}}, {c.Ch410, {c.La46, c.Te42}}};
    for (const auto& [box, dependants] : pairs) {
        dependants.first->setEnabled(box->value() != 0);
        dependants.second->setEnabled(box->value() != 0);
    }

    c.Op51->setValue(true);
    c.Op53->setValue(true);
    c.Op56->setValue(true);
    c.Op511->setValue(true);
}

wizard::WizardView::Ending Main::showModal() {
    ui();
    m_ending = Ending::Finished;
    m_modal = true;
    exec();
    m_modal = false;
    rethrowHandlerError();
    return m_ending;
}

void Main::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    if (pointer == 11)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

int Main::MsgBox(const QString& text, int flags, const QString& title) {
    return m_host ? m_host->MsgBox(text, flags, title) : showMessageBox(text, flags, title);
}

void Main::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Queued, so that the host acts inside the running modal display.
    QTimer::singleShot(0, this, [this] {
        if (m_host && m_modal && isVisible())
            m_host->modalShown(*this);
    });
}

// The close box and Escape end the modal display as Cancel does, so the
// entry never mistakes them for Finish.
void Main::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isVisible())
        ComC_Click();
}

void Main::reject() {
    if (isVisible())
        ComC_Click();
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
    // Focus that a key moved shows help as hovering does; focus a step change
    // or the window's activation sets leaves the panel as those leave it.
    const auto byKeyboard = [event] {
        if (event->type() != QEvent::FocusIn)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
               reason == Qt::ShortcutFocusReason;
    };
    if (event->type() == QEvent::MouseMove || byKeyboard()) {
        const QString text = helpTextFor(watched->objectName());
        if (!text.isNull())
            m_ui.LaT->setText(QStringLiteral("    ") + text);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zx::ui
