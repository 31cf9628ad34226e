#pragma once

#include "SqlDatabase.h"

struct sqlite3;

namespace zx::db {

class ConnectionText;
class SqliteStatements;

// An account in an SQLite file, its system database attached read-only as
// schema zxsystem (the wizard only reads it, and a save then locks and
// journals the account alone).
//   Provider=SQLite;Data Source=<absolute path>[;System Database=<path>]
//   [;Busy Timeout=<ms>][;In Memory=1]
// The files must exist: nothing is created here. In Memory=1 opens the
// account file read-only and works on a copy of it in memory: it needs no
// write access, and nothing written through it reaches the file. The text it reports names
// the database first: Database=<the file's name without its extension>.
class SqliteDatabase final : public SqlDatabase {
public:
    explicit SqliteDatabase(const ConnectionText& text);

    // SQLite's own connection, for what the kit does not wrap (a change log).
    sqlite3* handle() const;

protected:
    void run(const QString& sql, const QString& sent, const QVariantList& params = {}) override;
    QString sent(const QString& sql) const override;
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    std::unique_ptr<RowSource> rows(const QString& sql, const QString& sent,
                                    const QVariantList& params) override;
    std::shared_ptr<KeyedScan> keyedScan(const QString& sent, const RowSource& scan) override;

private:
    std::shared_ptr<SqliteStatements> m_statements;  // owns the connection
    QString m_system = QStringLiteral("zxsystem");
};

}  // namespace zx::db
