#include "ScriptDriver.h"

#include "Events.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace zx::host {

namespace {

// The inventory controls carry their kind as a property.
bool inInventory(const QWidget* w) {
    return w->property("zxKind").isValid();
}

bool isButton(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) != nullptr;
}

void sendKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace

int ScriptDriver::message(const QString& text, const QString& title, int flags) {
    emitEvent({{QStringLiteral("event"), QStringLiteral("message")},
               {QStringLiteral("text"), text},
               {QStringLiteral("title"), title},
               {QStringLiteral("flags"), flags}});
    return 1;  // OK
}

namespace {

// Grabs the window as it looks when it is about to disappear.
class ScreenshotOnHide : public QObject {
public:
    ScreenshotOnHide(QDialog* window, QString path) : QObject(window), m_path(std::move(path)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && !m_path.isEmpty()) {
            static_cast<QWidget*>(watched)->grab().save(m_path, "PNG");
            m_path.clear();
        }
        return false;
    }

private:
    QString m_path;
};

}  // namespace

void ScriptDriver::modalShown(QDialog* window) {
    if (!m_screenshot.isEmpty())
        new ScreenshotOnHide(window, std::exchange(m_screenshot, QString()));
    play(window);
}

void ScriptDriver::play(QDialog* window) {
    QPointer<QDialog> guard(window);
    while (m_next < m_actions.size()) {
        const Action& action = m_actions[m_next++];
        const QString why = perform(window, action);
        if (!why.isEmpty()) {
            m_failed = true;
            emitError(QStringLiteral("line %1: %2").arg(action.line).arg(why));
            if (guard && guard->isVisible())
                guard->close();  // as the close box: Cancel, nothing written
            break;
        }
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
        emitEvent({{QStringLiteral("event"), QStringLiteral("skipped")},
                   {QStringLiteral("line"), m_actions[m_next].line}});
}

QString ScriptDriver::perform(QDialog* window, const Action& action) {
    if (action.kind == Action::Close) {
        window->close();
        return {};
    }
    if (action.kind == Action::Dump) {
        QJsonObject state;
        QMetaObject::invokeMethod(window, "stateDump", Qt::DirectConnection,
                                  Q_RETURN_ARG(QJsonObject, state));
        state.insert(QStringLiteral("event"), QStringLiteral("state"));
        emitEvent(state);
        return {};
    }

    QWidget* control = window->findChild<QWidget*>(action.control);
    if (!control || !inInventory(control))
        return QStringLiteral("no control named %1").arg(action.control);
    if (!control->isVisible())
        return QStringLiteral("%1 is not visible").arg(action.control);
    if (!control->isEnabled())
        return QStringLiteral("%1 is not enabled").arg(action.control);
    auto* box = qobject_cast<QLineEdit*>(control);

    switch (action.kind) {
        case Action::Click:
            if (!isButton(control))
                return QStringLiteral("%1 cannot be clicked").arg(action.control);
            static_cast<QAbstractButton*>(control)->click();
            return {};
        case Action::Type:
            if (!box)
                return QStringLiteral("%1 is not a text box").arg(action.control);
            box->setFocus();
            box->deselect();
            box->end(false);
            for (qsizetype i = 0; i < action.text.size(); ++i) {
                const QChar c = action.text[i];
                if (c == QLatin1Char('\b')) {
                    sendKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
                } else if (c.isHighSurrogate() && i + 1 < action.text.size()) {
                    sendKey(box, Qt::Key_unknown, action.text.mid(i, 2));
                    ++i;
                } else {
                    sendKey(box, Qt::Key_unknown, QString(c));
                }
            }
            return {};
        case Action::Paste:
            if (!box)
                return QStringLiteral("%1 is not a text box").arg(action.control);
            box->selectAll();
            box->insert(action.text);
            return {};
        case Action::Clear:
            if (!box)
                return QStringLiteral("%1 is not a text box").arg(action.control);
            box->selectAll();
            box->del();
            return {};
        case Action::Hover: {
            const QPointF centre = QRectF(control->rect()).center();
            QMouseEvent move(QEvent::MouseMove, centre, control->mapToGlobal(centre), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(control, &move);
            return {};
        }
        case Action::Close:
        case Action::Dump:
            break;
    }
    return {};
}

}  // namespace zx::host
