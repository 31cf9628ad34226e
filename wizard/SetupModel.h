#pragma once

// The values of one run, free of widgets: what the loads decide about the
// window's controls (values, texts, enabled and locked states, colours) and,
// once the user has finished, what the window holds, which is all the saves
// read. Controls are named as on the form (Ch21, Te26, Op52).

#include "dbkit/Value.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <optional>

namespace zx::wizard {

// Each member is set only when something decided it; an unset one leaves
// the window's control as it is.
struct ControlState {
    std::optional<int> value;  // check box 0, 1 or 2 (greyed); option 1 selected, 0 not
    std::optional<QString> text;
    std::optional<bool> enabled;
    std::optional<std::uint32_t> backColor;  // &H00BBGGRR
    std::optional<QString> tag;
};

class SetupModel {
public:
    void setCheck(const QString& checkBox, int value);
    void select(const QString& option, bool selected = true);
    void setText(const QString& textBox, const QString& text);
    // A box that shows a stored value; `what` names it when the value is Null.
    void setStoredText(const QString& textBox, const db::Value& stored, const QString& what);
    void setEnabled(const QString& control, bool enabled);
    void setBackColor(const QString& control, std::uint32_t bgr);
    void setTag(const QString& control, const QString& tag);

    // What a save reads. A value or text nobody set is an error, never a
    // default: a save must not write what no one chose.
    int check(const QString& checkBox) const;
    bool ticked(const QString& checkBox) const { return check(checkBox) == 1; }
    bool selected(const QString& option) const;
    QString text(const QString& textBox) const;
    // What a save stores for a box. While the box still shows the stored
    // value it was loaded from, that value itself: its bytes may be no UTF-8
    // or a blob, and showing them is no reason to rewrite them.
    QVariant textToWrite(const QString& textBox) const;
    // A Tag nobody set is empty, as the form stores it.
    QString tag(const QString& control) const;

    // Everything decided about a control so far.
    ControlState state(const QString& control) const { return m_controls.value(control); }
    // The controls in the order something was first decided about them: the
    // order in which the window applies them.
    const QStringList& decided() const { return m_order; }

private:
    ControlState& touch(const QString& control);
    int valueOf(const QString& control) const;

    struct Stored {
        QString shown;
        db::Value value;
    };

    QHash<QString, ControlState> m_controls;
    QStringList m_order;
    QHash<QString, Stored> m_stored;  // boxes loaded from a stored value
};

}  // namespace zx::wizard
