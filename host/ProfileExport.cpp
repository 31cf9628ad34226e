#include "ProfileExport.h"

#include "TerminalText.h"

#include <QAbstractButton>
#include <QDate>
#include <QDialog>
#include <QJsonObject>
#include <QLineEdit>

#include <algorithm>

namespace zx::host {

int ProfileExport::message(const QString& text, const QString&, int) {
    m_lastMessage = text;
    return 1;
}

namespace {

// The first line of every profile, which apply reads back.
constexpr QLatin1String ProfileHeading("# zxwizard profile: the %1 setup of %2, exported %3.");

// Check boxes first, then options, then text boxes: a box's Click may
// enable a text box or reset another box, never the other way round. Within
// a kind, by page and item number.
std::pair<int, int> order(const QString& control) {
    static const QStringList kinds{QStringLiteral("Ch"), QStringLiteral("Op"),
                                   QStringLiteral("Te")};
    return {int(kinds.indexOf(control.left(2))), control.mid(2).toInt()};
}

}  // namespace

QList<ProfileExport::Setting> ProfileExport::readPage(QDialog* window) const {
    QJsonObject state;
    QMetaObject::invokeMethod(window, "stateDump", Qt::DirectConnection,
                              Q_RETURN_ARG(QJsonObject, state));
    const QJsonObject controls = state.value(QStringLiteral("controls")).toObject();
    QList<Setting> page;
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        const QWidget* widget = window->findChild<QWidget*>(it.key());
        const QJsonObject control = it.value().toObject();
        const QString kind = control.value(QStringLiteral("kind")).toString();
        // What the person sees on this step; a hidden control is no choice.
        if (!widget || !widget->isVisible())
            continue;
        if (kind == QLatin1String("CheckBox")) {
            page.append(
                {it.key(), QString::number(control.value(QStringLiteral("value")).toInt())});
        } else if (kind == QLatin1String("OptionButton")) {
            if (control.value(QStringLiteral("value")).toBool())
                page.append({it.key(), QStringLiteral("1")});
        } else if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
            const bool password = box->echoMode() == QLineEdit::Password;
            page.append({it.key(), quotedScriptText(box->text()), password});
        }
    }
    std::sort(page.begin(), page.end(), [](const Setting& a, const Setting& b) {
        return order(a.control) < order(b.control);
    });
    return page;
}

void ProfileExport::modalShown(QDialog* window) {
    m_common = readPage(window);
    m_lastMessage.clear();
    if (auto* next = window->findChild<QAbstractButton*>(QStringLiteral("ComN")))
        next->click();
    if (!m_lastMessage.isEmpty())
        m_failure = QStringLiteral("Next on the common page was refused: ") + m_lastMessage;
    else
        m_page = readPage(window);
    window->close();  // as the close box: Cancel, nothing written
}

QString ProfileExport::profile(const QString& source, const QString& subsystem) const {
    QStringList lines{
        QString(ProfileHeading)
            .arg(subsystem, escapedForTerminal(source), QDate::currentDate().toString(Qt::ISODate)),
        QStringLiteral("# Apply it with: zxwizard apply PROFILE --sys %1 --db FILE...")
            .arg(subsystem),
        QString()};
    auto write = [&](const QList<Setting>& page, const QString& heading) {
        lines << heading;
        for (const Setting& s : page) {
            if (s.password && !m_withPasswords)
                lines << QStringLiteral("# %1: a password, left out (export --with-passwords)")
                             .arg(s.control);
            else
                lines << QStringLiteral("set %1 %2").arg(s.control, s.value);
        }
    };
    write(m_common, QStringLiteral("# Step 1: the common parameters"));
    lines << QStringLiteral("click ComN") << QString();
    write(m_page, QStringLiteral("# Step 2: the %1 page").arg(subsystem));
    lines << QStringLiteral("click ComE");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString profileSubsystem(const QString& profile) {
    const QString first = profile.section(QLatin1Char('\n'), 0, 0);
    const QString before = ProfileHeading.left(ProfileHeading.indexOf(QLatin1String("%1")));
    if (!first.startsWith(before))
        return QString();
    return first.mid(before.size()).section(QLatin1Char(' '), 0, 0);
}

}  // namespace zx::host
