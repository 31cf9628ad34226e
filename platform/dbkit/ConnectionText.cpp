#include "ConnectionText.h"

#include "core/Ascii.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace zx::db {

std::optional<ConnectionText> ConnectionText::parse(const QString& text, QString* error) {
    ConnectionText result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("bad connection text \"%1\": %2")
                         .arg(maskedConnectionText(text), why);
        return std::nullopt;
    };
    while (i < n) {
        while (i < n && (text[i].isSpace() || text[i] == QLatin1Char(';')))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            return fail(QStringLiteral("\"%1\" has no '='").arg(text.mid(i).trimmed()));
        const QString key = text.mid(i, eq - i).trimmed();
        if (key.isEmpty() || key.contains(QLatin1Char(';')))
            return fail(QStringLiteral("a key is missing before '=' at %1").arg(eq + 1));
        i = eq + 1;
        while (i < n && text[i].isSpace())
            ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('{'))) {
            const QChar close = text[i] == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char('}');
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == close) {
                    if (i + 1 < n && text[i + 1] == close) {  // doubled: a literal one
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text[i++];
            }
            if (!closed)
                return fail(QStringLiteral("the value of %1 is not closed").arg(key));
            while (i < n && text[i].isSpace())
                ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                return fail(QStringLiteral("text after the quoted value of %1").arg(key));
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end;
        }
        result.m_pairs.append({key, value});
    }
    return result;
}

QString ConnectionText::value(const QString& key) const {
    for (const auto& [k, v] : m_pairs)
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

bool ConnectionText::contains(const QString& key) const {
    for (const auto& pair : m_pairs)
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void ConnectionText::append(const QString& key, const QString& value) {
    m_pairs.append({key, value});
}

std::optional<ConnectionText> ConnectionText::forOdbc(const QString& odbc, QString* error) {
    ConnectionText result;
    result.append(QStringLiteral("Provider"), QStringLiteral("ODBC"));
    if (!odbc.contains(QLatin1Char('='))) {
        result.append(QStringLiteral("DSN"), odbc.trimmed());
        return result;
    }
    const auto parsed = parse(odbc, error);
    if (!parsed)
        return std::nullopt;
    for (const auto& [key, value] : parsed->pairs()) {
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) {
            if (error)
                *error = QStringLiteral("an ODBC connection string must not name a Provider");
            return std::nullopt;
        }
        result.append(key, value);
    }
    return result;
}

QString ConnectionText::toString() const {
    const auto plain = [](const QString& value) {
        return !value.isEmpty() && std::all_of(value.begin(), value.end(), [](QChar c) {
            return ascii::isWordChar(c) || c == u'.' || c == u'-';
        });
    };
    QStringList parts;
    for (const auto& [key, value] : m_pairs) {
        parts << key + QLatin1Char('=') +
                     (plain(value)
                          ? value
                          : QLatin1Char('{') +
                                QString(value).replace(QLatin1String("}"), QLatin1String("}}")) +
                                QLatin1Char('}'));
    }
    return parts.join(QLatin1Char(';'));
}

namespace {

// The words that make a key name a secret, in any case.
const QLatin1StringView SecretWords[] = {"pwd"_L1, "passw"_L1, "secret"_L1, "token"_L1};

bool isSecretKey(QStringView key) {
    return std::any_of(std::begin(SecretWords), std::end(SecretWords), [&](QLatin1StringView word) {
        return key.contains(word, Qt::CaseInsensitive);
    });
}

// Where the quoted value that opens at `i` closes (the index of its closing
// brace or quote), or -1 when it does not.
qsizetype quoteEnd(const QString& text, qsizetype i) {
    const QChar close = text[i] == QLatin1Char('{') ? QLatin1Char('}') : QLatin1Char('"');
    for (++i; i < text.size(); ++i) {
        if (text[i] != close)
            continue;
        if (i + 1 < text.size() && text[i + 1] == close)
            ++i;
        else
            return i;
    }
    return -1;
}

// Where the value that starts at `i` ends: past its braces or quotes, and
// past whatever a malformed value leaves before the next ';'.
qsizetype valueEnd(const QString& text, qsizetype i) {
    const qsizetype n = text.size();
    if (i < n && (text[i] == QLatin1Char('{') || text[i] == QLatin1Char('"'))) {
        const qsizetype close = quoteEnd(text, i);
        if (close < 0)
            return n;
        i = close + 1;
    }
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
    return semicolon < 0 ? n : semicolon;
}

// Just past the '=' of the first key inside a value that names a secret,
// or -1: a run of word characters holding one of the secret words, blanks
// and '='. A key is found from its first character on, so only the starts
// of runs are tried, and each from the rightmost secret word in its run.
qsizetype secretKeyEnd(QStringView value) {
    const qsizetype n = value.size();
    for (qsizetype start = 0; start <= n; ++start) {
        if (start > 0 && ascii::isWordChar(value[start - 1]))
            continue;
        qsizetype run = start;
        while (run < n && ascii::isWordChar(value[run]))
            ++run;
        for (qsizetype at = run; at >= start; --at) {
            for (const QLatin1StringView word : SecretWords) {
                if (!value.mid(at).startsWith(word, Qt::CaseInsensitive))
                    continue;
                qsizetype end = at + word.size();
                while (end < n && ascii::isWordChar(value[end]))
                    ++end;
                while (end < n && ascii::isBlank(value[end]))
                    ++end;
                if (end < n && value[end] == u'=')
                    return end + 1;
            }
        }
    }
    return -1;
}

// Secrets inside a value (an option text such as pqopt={password=...}):
// everything after the first key that names one, since how such a text
// quotes its values is its own affair.
QString maskedInside(const QString& value) {
    const qsizetype end = secretKeyEnd(value);
    return end < 0 ? value : value.left(end) + QStringLiteral("***");
}

// A value with its secrets masked; a braced or quoted one keeps its
// brackets, so that the text still parses as it did.
QString maskedValue(const QString& value) {
    if (!value.startsWith(QLatin1Char('{')) && !value.startsWith(QLatin1Char('"')))
        return maskedInside(value);
    const qsizetype close = quoteEnd(value, 0);
    if (close < 0)
        return maskedInside(value);
    return value.front() + maskedInside(value.mid(1, close - 1)) + value[close] +
           maskedInside(value.mid(close + 1));
}

}  // namespace

QString maskedConnectionText(const QString& text) {
    QString out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            const qsizetype end = semicolon < 0 ? n : semicolon + 1;
            out += maskedInside(text.mid(i, end - i));
            i = end;
            continue;
        }
        out += text.mid(i, eq + 1 - i);
        qsizetype start = eq + 1;
        while (start < n && text[start].isSpace())
            out += text[start++];
        const qsizetype end = valueEnd(text, start);
        if (isSecretKey(QStringView(text).mid(i, eq - i))) {
            out += QStringLiteral("***");
            // A quoted secret followed by more than ';' is malformed (a '}'
            // not doubled): where it really ends is a guess, so nothing
            // after it is shown.
            const bool quoted =
                start < n && (text[start] == QLatin1Char('{') || text[start] == QLatin1Char('"'));
            const qsizetype close = quoted ? quoteEnd(text, start) : end - 1;
            if (close < 0 || !QStringView(text).mid(close + 1, end - close - 1).trimmed().isEmpty())
                return out;
        } else {
            out += maskedValue(text.mid(start, end - start));
        }
        i = end;
    }
    return out;
}

}  // namespace zx::db
