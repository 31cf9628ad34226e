#include "Script.h"

#include "core/Ascii.h"

#include <QFile>
#include <QStringList>

#include <algorithm>

namespace zx::host {

const char* const ScriptGrammar =
    "  click NAME        a check box (1 becomes 0, else 1), an option button, a command button\n"
    "  type NAME TEXT    typed key by key, as a keyboard would\n"
    "  paste NAME TEXT   replaces the text through the clipboard, as a paste would\n"
    "  clear NAME        empties the text box\n"
    "  hover NAME        the mouse pointer moves over NAME\n"
    "  key NAME KEY      focus NAME and press KEY: Enter, Escape, Space, Tab, Backtab,\n"
    "                    Delete, Backspace, Home, End, Left, Right or one character\n"
    "  set NAME VALUE    declarative: a check box to 0 or 1, an option button to 1, a text\n"
    "                    box to VALUE; clicks or pastes only when the value differs\n"
    "  close             the window's close box (acts as Cancel)\n"
    "  dump              prints the window's state\n"
    "TEXT and VALUE: the rest of the line, or \"quoted\" with \\\" \\\\ \\t \\uXXXX and \\b "
    "(Backspace).\n"
    "A script that ends with the window open cancels it (exit 3).\n";

namespace {

// A letter, then letters and digits: Ch11, Te41, ComN.
bool isControlName(const QString& text) {
    return !text.isEmpty() && ascii::isLetter(text.front()) &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return ascii::isLetter(c) || ascii::isDigit(c); });
}

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

bool oneCharacter(const QString& text) {
    return text.size() == 1 ||
           (text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate());
}

}  // namespace

KeyStroke keyStrokeTyping(const QString& character) {
    if (character == QLatin1String("\b"))
        return {Qt::Key_Backspace, Qt::NoModifier, character};
    // Qt names a printable key by its upper-case character; the text says
    // what it types.
    const char32_t code = character.toUcs4().value(0);
    const bool printable = code >= 0x20 && code != 0x7f && (code < 0x80 || code > 0x9f);
    const int key = printable ? int(QChar::toUpper(code)) : int(Qt::Key_unknown);
    return {key, Qt::NoModifier, character};
}

std::optional<KeyStroke> keyStrokeNamed(const QString& name) {
    static const struct {
        const char* name;
        Qt::Key key;
        const char* text;
    } keys[] = {
        {"Enter", Qt::Key_Return, "\r"},
        {"Escape", Qt::Key_Escape, "\x1b"},
        {"Space", Qt::Key_Space, " "},
        {"Tab", Qt::Key_Tab, "\t"},
        {"Backtab", Qt::Key_Backtab, ""},
        {"Delete", Qt::Key_Delete, "\x7f"},
        {"Backspace", Qt::Key_Backspace, "\b"},
        {"Home", Qt::Key_Home, ""},
        {"End", Qt::Key_End, ""},
        {"Left", Qt::Key_Left, ""},
        {"Right", Qt::Key_Right, ""},
    };
    for (const auto& k : keys)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return KeyStroke{k.key, k.key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier,
                             QString::fromLatin1(k.text)};
    if (oneCharacter(name))
        return keyStrokeTyping(name);
    return std::nullopt;
}

std::optional<std::vector<Action>> parseScript(const QString& script, QString* error) {
    std::vector<Action> actions;
    const QStringList lines = script.split(QLatin1Char('\n'));
    QStringList note;
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            note.clear();
            continue;
        }
        if (trimmed.startsWith(QLatin1Char('#'))) {
            note << trimmed.mid(1).trimmed();
            continue;
        }
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
        action.note = note.join(QLatin1Char(' '));
        note.clear();
        static const std::pair<const char*, Action::Kind> verbs[] = {
            {"click", Action::Click}, {"type", Action::Type},   {"paste", Action::Paste},
            {"clear", Action::Clear}, {"hover", Action::Hover}, {"key", Action::Key},
            {"set", Action::Set},     {"close", Action::Close}, {"dump", Action::Dump}};
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
        // The control name, then for type, paste, key and set what follows it.
        const qsizetype nameEnd = rest.indexOf(QLatin1Char(' '));
        action.control = nameEnd < 0 ? rest : rest.left(nameEnd);
        if (!isControlName(action.control))
            return fail(QStringLiteral("%1 needs a control name").arg(verb));
        const QString text = nameEnd < 0 ? QString() : rest.mid(nameEnd + 1);
        const bool takesText = action.kind == Action::Type || action.kind == Action::Paste ||
                               action.kind == Action::Set || action.kind == Action::Key;
        if (!takesText) {
            if (!text.trimmed().isEmpty())
                return fail(QStringLiteral("%1 takes only a control name").arg(verb));
            actions.push_back(action);
            continue;
        }
        if (nameEnd < 0)
            return fail(QStringLiteral("%1 needs %2 after the control name")
                            .arg(verb, action.kind == Action::Key ? QStringLiteral("a key")
                                                                  : QStringLiteral("a text")));
        if (text.startsWith(QLatin1Char('"'))) {
            QString why;
            const auto unquoted = unquote(text.trimmed(), &why);
            if (!unquoted)
                return fail(why);
            action.text = *unquoted;
        } else {
            action.text = action.kind == Action::Key ? text.trimmed() : text;
        }
        if (action.text.size() > MaxScriptText)
            return fail(QStringLiteral("a text longer than %1 characters").arg(MaxScriptText));
        if (action.kind == Action::Key) {
            const auto key = keyStrokeNamed(action.text);
            if (!key)
                return fail(QStringLiteral("unknown key \"%1\"").arg(action.text));
            action.key = *key;
        } else if (action.kind != Action::Type && action.text.contains(QLatin1Char('\b'))) {
            return fail(QStringLiteral("\\b is the Backspace key; %1 takes text only").arg(verb));
        }
        actions.push_back(action);
    }
    return actions;
}

std::optional<QString> readScriptFile(const QString& path, const QString& what, QString* error) {
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    // A pipe gives what it has at each read; read until its end or the bound,
    // in pieces, since QIODevice::read(n) allocates n bytes up front.
    QByteArray bytes;
    while (opened && bytes.size() <= MaxScriptBytes) {
        const QByteArray more =
            file.read(std::min<qint64>(64 * 1024, MaxScriptBytes + 1 - bytes.size()));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (!opened || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read the %1 %2: %3").arg(what, path, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > MaxScriptBytes) {
        *error = QStringLiteral("the %1 %2 is larger than %3 MiB")
                     .arg(what, path)
                     .arg(MaxScriptBytes / (1024 * 1024));
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

}  // namespace zx::host
