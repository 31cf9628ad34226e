#pragma once

// What a table row tells in words, e.g. "on SA exit 3 says 必须录入启用月份":
// a keyword opens its section and the words after it, up to the next
// keyword, are its facts. A fact in double quotes may hold blanks and
// keywords (\" inside it is a quote).

#include <QHash>
#include <QStringList>

class Story {
public:
    Story(const QString& text, const QStringList& keywords);

    bool has(const QString& keyword) const { return m_facts.contains(keyword); }
    QStringList operator[](const QString& keyword) const { return m_facts.value(keyword); }
    QString first(const QString& keyword, const QString& otherwise = {}) const {
        return m_facts.value(keyword).value(0, otherwise);
    }

private:
    QHash<QString, QStringList> m_facts;
};

// "Te26.enabled=0" as {"Te26.enabled", "0"}: the value follows the last '=',
// so that a key may be a statement holding its own.
std::pair<QString, QString> keyAndValue(const QString& fact);
