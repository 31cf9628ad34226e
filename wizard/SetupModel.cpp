#include "SetupModel.h"

#include "core/Error.h"

namespace zx::wizard {

ControlState& SetupModel::touch(const QString& control) {
    auto it = m_controls.find(control);
    if (it == m_controls.end()) {
        m_order.append(control);
        it = m_controls.insert(control, {});
    }
    return *it;
}

void SetupModel::setCheck(const QString& checkBox, int value) {
    touch(checkBox).value = value;
}

void SetupModel::select(const QString& option, bool selected) {
    touch(option).value = selected ? 1 : 0;
}

void SetupModel::setText(const QString& textBox, const QString& text) {
    touch(textBox).text = text;
}

void SetupModel::setStoredText(const QString& textBox, const db::Value& stored,
                               const QString& what) {
    const QString shown = stored.toText(what);
    setText(textBox, shown);
    m_stored.insert(textBox, {shown, stored});
}

void SetupModel::setEnabled(const QString& control, bool enabled) {
    touch(control).enabled = enabled;
}

void SetupModel::setBackColor(const QString& control, std::uint32_t bgr) {
    touch(control).backColor = bgr;
}

void SetupModel::setTag(const QString& control, const QString& tag) {
    touch(control).tag = tag;
}

int SetupModel::valueOf(const QString& control) const {
    const auto it = m_controls.constFind(control);
    if (it == m_controls.constEnd() || !it->value)
        throw Error(QStringLiteral("the setup holds no value for %1").arg(control));
    return *it->value;
}

int SetupModel::check(const QString& checkBox) const {
    return valueOf(checkBox);
}

bool SetupModel::selected(const QString& option) const {
    return valueOf(option) != 0;
}

QString SetupModel::text(const QString& textBox) const {
    const auto it = m_controls.constFind(textBox);
    if (it == m_controls.constEnd() || !it->text)
        throw Error(QStringLiteral("the setup holds no text for %1").arg(textBox));
    return *it->text;
}

QVariant SetupModel::textToWrite(const QString& textBox) const {
    const QString shown = text(textBox);
    const auto it = m_stored.constFind(textBox);
    if (it != m_stored.constEnd() && it->shown == shown)
        return it->value.bindable();
    return shown;
}

QString SetupModel::tag(const QString& control) const {
    return m_controls.value(control).tag.value_or(QString());
}

}  // namespace zx::wizard
