#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zx::db {

// One SQLite connection and its compiled statements, kept for the next
// statement of the same text: the loads look parameters up by a handful of
// statements and a save repeats a few writes, and compiling one costs more
// than running it. A statement kept here is reset, so it holds no lock.
// Every statement is finalized before the connection closes.
class SqliteStatements {
public:
    // Takes over `handle`, which it closes.
    explicit SqliteStatements(sqlite3* handle);
    ~SqliteStatements();
    SqliteStatements(const SqliteStatements&) = delete;
    SqliteStatements& operator=(const SqliteStatements&) = delete;

    sqlite3* handle() const { return m_handle; }

    // A statement for `sql` with `params` bound in order: a kept one or a
    // newly compiled one. nullptr with *why set when it failed, nullptr with
    // *why empty for a text of blanks only.
    sqlite3_stmt* prepare(const QByteArray& sql, const QVariantList& params, QString* why);
    // Like prepare(), with the statement's quoted texts bound where that
    // compiles (see bindQuotedTexts()); *sql becomes the text it is kept for.
    sqlite3_stmt* prepareBound(QByteArray* sql, const QVariantList& params, QString* why);
    // Gives back a statement prepared for `sql`; it is reset and kept, or
    // finalized when enough are kept.
    void give(const QByteArray& sql, sqlite3_stmt* statement);

    // Runs one statement to its end; why it failed, empty when it ran.
    QString run(const QByteArray& sql, const QVariantList& params = {});
    // Why the last call on the connection failed.
    QString failure() const;

private:
    sqlite3_stmt* take(const QByteArray& sql, int* code, const char** tail);

    sqlite3* m_handle;
    std::vector<std::pair<QByteArray, sqlite3_stmt*>> m_kept;  // oldest first
};

// SQLite's message for a failure, naming the fault it came from, with what a
// lock means for the caller.
QString sqliteReason(int code, const QString& message);

}  // namespace zx::db
