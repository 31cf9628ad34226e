#include "TerminalReport.h"

#include "Commands.h"
#include "Script.h"
#include "Snapshot.h"
#include "TerminalText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QJsonValue>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>

namespace zx::host {

namespace {

void say(const QString& line) {
    std::printf("%s\n", escapedForTerminal(line).toUtf8().constData());
    std::fflush(stdout);
}

QString cellText(const QJsonValue& value) {
    if (value.isObject())
        return storedBytesText(value);
    return value.isNull() ? QStringLiteral("NULL") : value.toString();
}

QString resultInWords(int code, bool dryRun) {
    switch (code) {
        case 0:
            return dryRun ? QStringLiteral(
                                "Dry run: Finish would write what follows; nothing "
                                "was saved.")
                          : QStringLiteral("Written: every value was saved.");
        case 1:
            return QStringLiteral(
                "Failed: the save failed and was rolled back; nothing was "
                "written.");
        case 2:
            return QStringLiteral("Refused: the wizard did not open; nothing was written.");
        case 3:
            return QStringLiteral("Cancelled: nothing was written.");
    }
    return QStringLiteral("Result %1.").arg(code);
}

// What a person sees of a control: its caption, or a text box's text.
QString shown(const QWidget* control) {
    if (const auto* box = qobject_cast<const QLineEdit*>(control))
        return box->echoMode() == QLineEdit::Password
                   ? QString(box->text().size(), QLatin1Char('*'))
                   : QLatin1Char('"') + box->text() + QLatin1Char('"');
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        const QString caption =
            !button->text().isEmpty()
                ? button->text()
                : (!button->toolTip().isEmpty() ? button->toolTip() : button->accessibleName());
        if (const auto* check = qobject_cast<const QCheckBox*>(control))
            return (check->checkState() == Qt::Checked            ? QStringLiteral("[x] ")
                    : check->checkState() == Qt::PartiallyChecked ? QStringLiteral("[-] ")
                                                                  : QStringLiteral("[ ] ")) +
                   caption;
        if (const auto* option = qobject_cast<const QRadioButton*>(control))
            return (option->isChecked() ? QStringLiteral("(*) ") : QStringLiteral("( ) ")) +
                   caption;
        return caption;
    }
    return {};
}

}  // namespace

void TerminalReport::write(const QJsonObject& event) {
    const QString kind = event.value(QStringLiteral("event")).toString();
    if (kind == QLatin1String("message")) {
        say(QStringLiteral("  Message box \"%1\": %2")
                .arg(event.value(QStringLiteral("title")).toString(),
                     event.value(QStringLiteral("text")).toString()));
    } else if (kind == QLatin1String("skipped")) {
        say(QStringLiteral("  line %1 not played: the window had closed")
                .arg(event.value(QStringLiteral("line")).toInt()));
    } else if (kind == QLatin1String("result")) {
        const int code = event.value(QStringLiteral("code")).toInt();
        m_written = code == 0;
        say(resultInWords(code, event.value(QStringLiteral("dryRun")).toBool()));
    } else if (kind == QLatin1String("changed")) {
        m_changed.append({event.value(QStringLiteral("cSysID")).toString(),
                          event.value(QStringLiteral("cName")).toString(),
                          event.value(QStringLiteral("inserted")).toBool()
                              ? QStringLiteral("(new row)")
                              : cellText(event.value(QStringLiteral("old"))),
                          cellText(event.value(QStringLiteral("new")))});
    } else if (kind == QLatin1String("changedTable")) {
        const int rows = event.value(QStringLiteral("rows")).toInt();
        m_tables << QStringLiteral("%1 (%2 row%3)")
                        .arg(event.value(QStringLiteral("table")).toString())
                        .arg(rows)
                        .arg(rows == 1 ? "" : "s");
    }
    // The window's state is described from the window itself, in played().
}

void TerminalReport::error(const QString& message) {
    printError(message);
}

void TerminalReport::playing(const Action& action, const QWidget* control) {
    if (!action.note.isEmpty()) {
        say(QString());
        say(action.note);
    }
    static const char* const verbs[] = {"click", "type", "paste", "clear", "hover",
                                        "key",   "set",  "close", "dump"};
    QString line = QStringLiteral("> ") + QLatin1String(verbs[action.kind]);
    if (!action.control.isEmpty())
        line += QLatin1Char(' ') + action.control;
    const auto* box = qobject_cast<const QLineEdit*>(control);
    const bool secret = box && box->echoMode() == QLineEdit::Password;
    if (action.kind == Action::Key)
        line += QLatin1Char(' ') + action.text;
    else if (action.kind == Action::Type || action.kind == Action::Paste ||
             action.kind == Action::Set)
        line += secret ? QStringLiteral(" ***") : QStringLiteral(" \"%1\"").arg(action.text);
    if (control && !box && !shown(control).isEmpty())
        line += QStringLiteral("  (%1)").arg(shown(control));
    say(line);
}

void TerminalReport::played(const Action& action, const QDialog* window) {
    if (!window)
        return;
    if (action.kind == Action::Hover) {
        if (const auto* help = window->findChild<const QLabel*>(QStringLiteral("LaT")))
            say(QStringLiteral("  help: ") + help->text());
    } else if (action.kind == Action::Dump) {
        // The controls a person can see, in the window's own order.
        for (const QWidget* control : window->findChildren<const QWidget*>()) {
            if (!control->isVisible() || control->objectName().isEmpty() ||
                !(qobject_cast<const QLineEdit*>(control) ||
                  qobject_cast<const QAbstractButton*>(control)))
                continue;
            say(QStringLiteral("  %1 %2%3")
                    .arg(control->objectName(), shown(control),
                         control->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
        }
    }
}

void TerminalReport::finish() {
    if (!m_changed.isEmpty()) {
        QList<QStringList> rows{{QStringLiteral("cSysID"), QStringLiteral("cName"),
                                 QStringLiteral("old"), QStringLiteral("new")}};
        rows += m_changed;
        QList<int> widths(3, 0);
        for (QStringList& row : rows)
            for (int i = 0; i < 4; ++i) {
                row[i] = escapedForTerminal(row[i]);
                if (i < 3)
                    widths[i] = std::max(widths[i], terminalCells(row[i]));
            }
        say(QString());
        say(QStringLiteral("Changed parameters:"));
        for (const QStringList& row : rows)
            say(QStringLiteral("  ") + padToCells(row[0], widths[0]) + QStringLiteral("  ") +
                padToCells(row[1], widths[1]) + QStringLiteral("  ") +
                padToCells(row[2], widths[2]) + QStringLiteral("  ") + row[3]);
    } else if (m_written) {
        say(QStringLiteral("No parameter changed."));
    }
    if (!m_tables.isEmpty())
        say(QStringLiteral("Other rows written: ") + m_tables.join(QStringLiteral(", ")));
}

}  // namespace zx::host
