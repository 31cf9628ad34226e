#include "ScriptDriver.h"

#include "EventWriter.h"
#include "Screenshot.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QWindow>

// Qt's own entry for a key from the platform: the event takes the path a
// keyboard's does (shortcut override, the focus widget, propagation to the
// dialog), not a shortcut straight to one widget.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key,
                                    Qt::KeyboardModifiers modifiers, const QString& text,
                                    bool autorepeat, ushort count);
QT_END_NAMESPACE

namespace zx::host {

namespace {

// The inventory's control classes name their kind in their meta-object.
bool inInventory(const QWidget* w) {
    return w->metaObject()->indexOfClassInfo("zxKind") >= 0;
}

void pressKey(QWidget* window, const KeyStroke& stroke) {
    QPointer<QWidget> alive(window);
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        if (!alive || !alive->windowHandle())
            return;  // the press closed the window
        qt_handleKeyEvent(alive->windowHandle(), type, stroke.key, stroke.modifiers, stroke.text,
                          false, 1);
    }
}

// Pastes through the clipboard, as Ctrl+V would, and then gives the user's
// clipboard back.
void pasteText(QLineEdit* box, const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* saved = new QMimeData;
    if (const QMimeData* old = clipboard->mimeData())
        for (const QString& format : old->formats())
            saved->setData(format, old->data(format));
    clipboard->setText(text);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    box->paste();
    clipboard->setMimeData(saved);
}

// A control's value as `set` compares it: 0/1/2 for a check box, 0/1 for an
// option button, the text of a text box.
QString valueOf(const QWidget* control) {
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return box->text();
    if (const auto* check = qobject_cast<const QCheckBox*>(control))
        return check->checkState() == Qt::Checked            ? QStringLiteral("1")
               : check->checkState() == Qt::PartiallyChecked ? QStringLiteral("2")
                                                             : QStringLiteral("0");
    if (const auto* option = qobject_cast<const QRadioButton*>(control))
        return option->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return {};
}

QString shownValue(const QWidget* control, const QString& value) {
    const auto* box = qobject_cast<const QLineEdit*>(control);
    if (box && box->echoMode() == QLineEdit::Password)
        return QStringLiteral("***");
    return box ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

}  // namespace

int ScriptDriver::message(const QString& text, const QString& title, int flags) {
    m_lastMessage = text;
    m_events.write({{QStringLiteral("event"), QStringLiteral("message")},
                    {QStringLiteral("text"), text},
                    {QStringLiteral("title"), title},
                    {QStringLiteral("flags"), flags}});
    return 1;  // OK
}

namespace {

// Takes the picture as the window is about to disappear.
class ScreenshotOnHide : public QObject {
public:
    ScreenshotOnHide(QDialog* window, QString path, EventWriter& events)
        : QObject(window), m_path(std::move(path)), m_events(events) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !m_path.isEmpty()) {
            QString error;
            if (!Screenshot::save(static_cast<QWidget*>(watched), m_path, &error))
                m_events.error(error);
            m_path.clear();
        }
        return false;
    }

private:
    QString m_path;
    EventWriter& m_events;
};

}  // namespace

void ScriptDriver::modalShown(QDialog* window) {
    if (!m_screenshot.isEmpty())
        new ScreenshotOnHide(window, std::exchange(m_screenshot, QString()), m_events);
    play(window);
}

void ScriptDriver::play(QDialog* window) {
    QPointer<QDialog> guard(window);
    while (m_next < m_actions.size()) {
        const Action& action = m_actions[m_next++];
        const QString why = perform(window, action);
        if (!why.isEmpty()) {
            m_failed = true;
            m_events.error(QStringLiteral("line %1: %2").arg(action.line).arg(why));
            if (guard && guard->isVisible())
                guard->close();  // as the close box: Cancel, nothing written
            break;
        }
        m_events.played(action, guard);
        if (!guard || !guard->isVisible())
            break;
    }
    if (guard && guard->isVisible())
        guard->close();  // the script ended with the window open: as the close box
}

void ScriptDriver::finish() {
    // Whatever is left after the modal display has ended, or when the window
    // never opened, is not run.
    for (; m_next < m_actions.size(); ++m_next)
        m_events.write({{QStringLiteral("event"), QStringLiteral("skipped")},
                        {QStringLiteral("line"), m_actions[m_next].line}});
}

QString ScriptDriver::perform(QDialog* window, const Action& action) {
    if (action.kind == Action::Close || action.kind == Action::Dump) {
        m_events.playing(action, nullptr);
        if (action.kind == Action::Close) {
            window->close();
            return {};
        }
        QJsonObject state;
        QMetaObject::invokeMethod(window, "stateDump", Qt::DirectConnection,
                                  Q_RETURN_ARG(QJsonObject, state));
        state.insert(QStringLiteral("event"), QStringLiteral("state"));
        m_events.write(state);
        return {};
    }

    QWidget* control = window->findChild<QWidget*>(action.control);
    if (!control || !inInventory(control))
        return QStringLiteral("no control named %1").arg(action.control);
    m_events.playing(action, control);
    if (action.kind == Action::Set)
        return set(control, action);
    if (!control->isVisible())
        return QStringLiteral("%1 is not visible").arg(action.control);
    if (!control->isEnabled())
        return QStringLiteral("%1 is not enabled").arg(action.control);
    auto* box = qobject_cast<QLineEdit*>(control);
    if (!box && (action.kind == Action::Type || action.kind == Action::Paste ||
                 action.kind == Action::Clear))
        return QStringLiteral("%1 is not a text box").arg(action.control);

    switch (action.kind) {
        case Action::Click:
            if (!qobject_cast<QAbstractButton*>(control))
                return QStringLiteral("%1 cannot be clicked").arg(action.control);
            static_cast<QAbstractButton*>(control)->click();
            break;
        case Action::Type:
            box->setFocus(Qt::OtherFocusReason);
            box->deselect();
            box->end(false);
            for (qsizetype i = 0; i < action.text.size(); ++i) {
                const bool pair = action.text[i].isHighSurrogate() && i + 1 < action.text.size() &&
                                  action.text[i + 1].isLowSurrogate();
                pressKey(window, keyStrokeTyping(action.text.mid(i, pair ? 2 : 1)));
                i += pair ? 1 : 0;
            }
            break;
        case Action::Paste:
            pasteText(box, action.text);
            break;
        case Action::Clear:
            box->selectAll();
            box->del();
            break;
        case Action::Key:
            if (control->focusPolicy() == Qt::NoFocus)
                return QStringLiteral("%1 cannot take the keyboard focus").arg(action.control);
            control->setFocus(Qt::OtherFocusReason);
            pressKey(window, action.key);
            break;
        case Action::Hover: {
            const QPointF centre = QRectF(control->rect()).center();
            QMouseEvent move(QEvent::MouseMove, centre, control->mapToGlobal(centre), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(control, &move);
            break;
        }
        case Action::Set:
        case Action::Close:
        case Action::Dump:
            break;
    }
    return {};
}

QString ScriptDriver::set(QWidget* control, const Action& action) {
    const QString& name = action.control;
    const QString want = action.text;
    const QString had = valueOf(control);
    if (had == want)
        return {};  // declarative: nothing to do, whatever state the control is in
    auto* box = qobject_cast<QLineEdit*>(control);
    auto* button = qobject_cast<QAbstractButton*>(control);
    const bool check = qobject_cast<QCheckBox*>(control) != nullptr;
    const bool option = qobject_cast<QRadioButton*>(control) != nullptr;
    if (!box && !check && !option)
        return QStringLiteral("%1 holds no value to set").arg(name);
    if (check && want != QLatin1String("0") && want != QLatin1String("1"))
        return QStringLiteral("set %1 takes 0 or 1 for a check box").arg(name);
    if (option && want != QLatin1String("1"))
        return want == QLatin1String("0")
                   ? QStringLiteral("%1 is selected; select another option of its group instead")
                         .arg(name)
                   : QStringLiteral("set %1 takes 1 for an option button").arg(name);
    const QString holds = QStringLiteral("%1 holds %2, not %3")
                              .arg(name, shownValue(control, had), shownValue(control, want));
    if (!control->isVisible())
        return QStringLiteral("%1 is not visible and %2").arg(name, holds);
    if (!control->isEnabled())
        return QStringLiteral("%1 is disabled: %2").arg(name, holds);

    m_lastMessage.clear();
    if (box) {
        pasteText(box, want);
    } else {
        // A greyed box needs two clicks to reach 0; a refused click changes nothing.
        for (int click = 0; click < 2 && valueOf(control) != want; ++click) {
            const QString before = valueOf(control);
            button->click();
            if (valueOf(control) == before)
                break;
        }
    }
    const QString now = valueOf(control);
    if (now == want)
        return {};
    QString why = QStringLiteral("%1 still holds %2 after set, not %3")
                      .arg(name, shownValue(control, now), shownValue(control, want));
    if (!m_lastMessage.isEmpty())
        why += QStringLiteral(": refused with \"%1\"").arg(m_lastMessage);
    else if (box)
        // Masked values look alike; say what the box did to the text.
        why += QStringLiteral(
                   ": the box keeps %1 of the %2 characters given (it takes no "
                   "control characters, no half of a pair, nothing past its limit)")
                   .arg(now.size())
                   .arg(want.size());
    return why;
}

}  // namespace zx::host
