#pragma once

// ADO-style connection texts: `key=value` pairs separated by ';', values
// optionally in double quotes or braces. Keys compare without regard to case.

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace zx::db {

class ConnectionText {
public:
    static std::optional<ConnectionText> parse(const QString& text, QString* error);

    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    const QList<QPair<QString, QString>>& pairs() const { return m_pairs; }

    // The pairs except `Provider`, joined again (the ODBC connection string).
    QString withoutProvider() const;

private:
    QList<QPair<QString, QString>> m_pairs;
};

// The text with the value of every password key (Password, Pwd) shown as ***.
QString maskedConnectionText(const QString& text);

}  // namespace zx::db
