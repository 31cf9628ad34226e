#include "Story.h"

#include <QtGlobal>

Story::Story(const QString& text, const QStringList& keywords) {
    QStringList* section = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' '))
            continue;
        QString word;
        const bool quoted = text[i] == QLatin1Char('"');
        if (quoted) {
            for (++i; i < text.size() && text[i] != QLatin1Char('"'); ++i) {
                if (text[i] == QLatin1Char('\\') && i + 1 < text.size())
                    ++i;  // \" and \\ stand for themselves
                word += text[i];
            }
        } else {
            for (; i < text.size() && text[i] != QLatin1Char(' '); ++i)
                word += text[i];
        }
        if (!quoted && keywords.contains(word))
            section = &m_facts[word];
        else if (section)
            *section << word;
        else
            qFatal("a fact before any keyword in \"%s\"", qPrintable(text));
    }
}

std::pair<QString, QString> keyAndValue(const QString& fact) {
    const qsizetype at = fact.lastIndexOf(QLatin1Char('='));
    return {fact.left(at), fact.mid(at + 1)};
}
