#include "Script.h"

#include <QRegularExpression>

namespace zx::host {

namespace {

std::optional<QString> unquote(const QString& quoted, QString* why) {
    QString out;
    for (qsizetype i = 1; i < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c == QLatin1Char('"')) {
            if (i != quoted.size() - 1) {
                *why = QStringLiteral("text after the closing quote");
                return std::nullopt;
            }
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= quoted.size())
            break;
        switch (quoted[i].unicode()) {
            case '"':
                out += QLatin1Char('"');
                break;
            case '\\':
                out += QLatin1Char('\\');
                break;
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'b':
                out += QLatin1Char('\b');
                break;
            case 'u': {
                bool ok = false;
                const uint code = quoted.mid(i + 1, 4).toUInt(&ok, 16);
                if (!ok || quoted.mid(i + 1, 4).size() != 4) {
                    *why = QStringLiteral("\\u needs four hex digits");
                    return std::nullopt;
                }
                out += QChar(char16_t(code));
                i += 4;
                break;
            }
            default:
                *why = QStringLiteral("unknown escape \\%1").arg(quoted[i]);
                return std::nullopt;
        }
    }
    *why = QStringLiteral("the quoted text is not closed");
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<Action>> parseScript(const QString& script, QString* error) {
    std::vector<Action> actions;
    const QStringList lines = script.split(QLatin1Char('\n'));
    static const QRegularExpression name(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        auto fail = [&](const QString& why) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return std::nullopt;
        };
        // Leading blanks go; the rest of the line is kept as written.
        qsizetype start = 0;
        while (start < line.size() && line[start].isSpace())
            ++start;
        const QString body = line.mid(start);
        const qsizetype space = body.indexOf(QLatin1Char(' '));
        const QString verb = space < 0 ? body : body.left(space);
        QString rest = space < 0 ? QString() : body.mid(space + 1);

        Action action;
        action.line = n + 1;
        static const std::pair<const char*, Action::Kind> verbs[] = {
            {"click", Action::Click}, {"type", Action::Type},   {"paste", Action::Paste},
            {"clear", Action::Clear}, {"hover", Action::Hover}, {"close", Action::Close},
            {"dump", Action::Dump}};
        bool known = false;
        for (const auto& [word, kind] : verbs) {
            if (verb == QLatin1String(word)) {
                action.kind = kind;
                known = true;
            }
        }
        if (!known)
            return fail(QStringLiteral("unknown action \"%1\"").arg(verb));

        if (action.kind == Action::Close || action.kind == Action::Dump) {
            if (!rest.trimmed().isEmpty())
                return fail(QStringLiteral("%1 takes nothing after it").arg(verb));
            actions.push_back(action);
            continue;
        }
        // The control name, then for type and paste the text.
        const qsizetype nameEnd = rest.indexOf(QLatin1Char(' '));
        action.control = nameEnd < 0 ? rest : rest.left(nameEnd);
        if (!name.match(action.control).hasMatch())
            return fail(QStringLiteral("%1 needs a control name").arg(verb));
        const QString text = nameEnd < 0 ? QString() : rest.mid(nameEnd + 1);
        if (action.kind == Action::Type || action.kind == Action::Paste) {
            if (nameEnd < 0)
                return fail(QStringLiteral("%1 needs a text after the control name").arg(verb));
            if (text.startsWith(QLatin1Char('"'))) {
                QString why;
                const auto unquoted = unquote(text.trimmed(), &why);
                if (!unquoted)
                    return fail(why);
                action.text = *unquoted;
            } else {
                action.text = text;
            }
            if (action.kind == Action::Paste && action.text.contains(QLatin1Char('\b')))
                return fail(QStringLiteral("\\b is the Backspace key; paste takes text only"));
        } else if (!text.trimmed().isEmpty()) {
            return fail(QStringLiteral("%1 takes only a control name").arg(verb));
        }
        actions.push_back(action);
    }
    return actions;
}

}  // namespace zx::host
