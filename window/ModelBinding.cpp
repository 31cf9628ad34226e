// The window as a view of a run's setup: what the loads decided is shown in
// the controls, and Finish hands every value back.

#include "Main.h"

#include "core/Error.h"
#include "wizard/SetupModel.h"

namespace zx::ui {

QWidget* Main::control(const QString& name) const {
    QWidget* w = findChild<QWidget*>(name);
    if (!w || !kindOf(w))
        throw Error(QStringLiteral("form Main has no control named %1").arg(name));
    return w;
}

void Main::attach(const QString& sysCode, wizard::RunHost& host, wizard::AccountQueries* queries) {
    SysCode = sysCode;
    m_host = &host;
    m_queries = queries;
    ui();
}

void Main::detach() {
    m_host = nullptr;
    m_queries = nullptr;
}

void Main::present(const wizard::SetupModel& model, const QStringList& controls) {
    ui();
    for (const QString& name : controls) {
        QWidget* w = control(name);
        const wizard::ControlState s = model.state(name);
        if (s.value) {
            if (auto* box = qobject_cast<CheckBox*>(w))
                box->setValue(*s.value);
            else if (auto* option = qobject_cast<OptionButton*>(w))
                option->setValue(*s.value != 0);
            else
                throw Error(QStringLiteral("%1 holds no value").arg(name));
        }
        if (s.text) {
            auto* box = qobject_cast<TextBox*>(w);
            if (!box)
                throw Error(QStringLiteral("%1 holds no text").arg(name));
            box->setText(*s.text);
        }
        if (s.enabled)
            w->setEnabled(*s.enabled);
        if (s.backColor)
            setBackColor(w, *s.backColor);
        if (s.tag)
            setTag(w, *s.tag);
        rethrowHandlerError();
    }
}

void Main::collect(wizard::SetupModel& model) const {
    for (const QWidget* w : findChildren<const QWidget*>()) {
        if (const auto* box = qobject_cast<const CheckBox*>(w)) {
            model.setCheck(box->objectName(), box->value());
            model.setTag(box->objectName(), tag(box));
        } else if (const auto* option = qobject_cast<const OptionButton*>(w)) {
            model.select(option->objectName(), option->value());
        } else if (const auto* text = qobject_cast<const TextBox*>(w)) {
            model.setText(text->objectName(), text->text());
        }
    }
}

}  // namespace zx::ui
