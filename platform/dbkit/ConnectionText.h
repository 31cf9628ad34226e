#pragma once

// ADO-style connection texts: `key=value` pairs separated by ';', values
// optionally in double quotes or braces (a closing one doubled inside).
// Keys compare without regard to case; of a key given twice the first
// counts.

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace zx::db {

class ConnectionText {
public:
    static std::optional<ConnectionText> parse(const QString& text, QString* error);
    // An ODBC connection string, or a data source's name alone, as the
    // text of an ODBC connection (Provider=ODBC first).
    static std::optional<ConnectionText> forOdbc(const QString& odbc, QString* error);

    void append(const QString& key, const QString& value);
    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    const QList<QPair<QString, QString>>& pairs() const { return m_pairs; }

    // The pairs joined, every value that is not a plain word in braces: no
    // value can add or change a key.
    QString toString() const;

private:
    QList<QPair<QString, QString>> m_pairs;
};

// The text with every secret shown as ***: the values of keys that name a
// password, a secret or a token, also inside other values (an option text
// such as pqopt={password=...}). Even an unparsable text is masked.
QString maskedConnectionText(const QString& text);

}  // namespace zx::db
