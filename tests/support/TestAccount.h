#pragma once

// A throw-away account with direct SQL access for arranging and checking
// rows: files in a temporary folder, or, when ZX_TEST_BACKEND=postgres, a
// database of its own on the test server (reached through ODBC).

#include "dbkit/HostDatabase.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

class TestAccount {
public:
    // Whether the accounts live on the test server.
    static bool onServer();

    explicit TestAccount(const QString& year = QStringLiteral("2001"),
                         const QString& fileName = QString());
    ~TestAccount();

    // How `zxwizard` is told where the account is: --db FILE or --odbc TEXT.
    QStringList cliArgs() const;
    QString path() const { return m_path; }
    QString systemPath() const { return m_systemPath; }
    QString dir() const { return m_dir.path(); }
    QString connectionText() const;
    std::unique_ptr<zx::db::HostDatabase> open() const;

    // Direct access, outside any run.
    void exec(const QString& sql) const;
    // The first column of the first row; a null QVariant for Null or no row.
    QVariant value(const QString& sql) const;
    QVariant param(const QString& sys, const QString& name) const;
    void setParam(const QString& sys, const QString& name, const QVariant& value,
                  const QString& column = QStringLiteral("cValue")) const;
    // "SA.cCreditPwd=x" sets a parameter's cValue, "SA.bCredit.cDefault=TRUE"
    // another column of its row; NULL stands for Null.
    void given(const QStringList& facts) const;

    // A parameter's cValue in any account file ("" when it has none).
    static QString paramIn(const QString& file, const QString& sys, const QString& name);

    // A new connection for the checks, as another program would open one.
    void reopen() const;
    // Every row of every table of the account and its system tables.
    QString dump() const;

private:
    QSqlDatabase db() const;

    QTemporaryDir m_dir;
    QString m_path, m_systemPath;
    QString m_serverDatabase, m_odbc;  // on the server
    QString m_connection;
};
