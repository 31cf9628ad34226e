#pragma once

// A throw-away account (account file and system database in a temporary
// folder) with direct SQL access for arranging and checking rows.

#include "dbkit/HostDatabase.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class TestAccount {
public:
    explicit TestAccount(const QString& year = QStringLiteral("2001"),
                         const QString& account = QStringLiteral("001"),
                         const QString& fileName = QString());
    ~TestAccount();

    QString path() const { return m_path; }
    QString systemPath() const { return m_systemPath; }
    QString dir() const { return m_dir.path(); }
    QString connectionText() const;
    std::unique_ptr<zx::db::HostDatabase> open() const;

    // Direct access, outside any run.
    void exec(const QString& sql) const;
    QVariant value(
        const QString& sql) const;  // first column of the first row; null QVariant if none
    QVariant param(const QString& sys, const QString& name) const;
    void setParam(const QString& sys, const QString& name, const QVariant& value) const;
    void setStartDate(const QString& sys, const QString& name, int month) const;
    void closeMonths(const QString& flag, int from, int to) const;

    // Every row of every table of both databases, in a fixed order.
    QString dump() const;

private:
    QTemporaryDir m_dir;
    QString m_path, m_systemPath, m_year;
    QString m_connection;
};
