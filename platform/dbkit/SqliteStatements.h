#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zx::db {

// A statement's result columns: their names, and which are declared text.
// They belong to one compilation of the statement. SQLite compiles a
// statement again inside sqlite3_step() when the schema has changed since
// (another connection's ALTER TABLE, or this one's), and "*" may then stand
// for other columns in another order: they are read after a step.
struct SqliteColumns {
    QStringList names;
    QList<bool> text;
    int compiles = -1;  // the statement's recompilations when they were read

    // Reads them again when `statement` has been compiled since; whether it had.
    bool readAfterStep(sqlite3_stmt* statement);
};

// One SQLite connection and its compiled statements, kept for the next
// statement of the same text: the loads look parameters up by a handful of
// statements and a save repeats a few writes, and compiling one costs more
// than running it. A statement is kept with its columns, which the loads
// would otherwise convert again for every lookup. A statement kept here is
// reset, so it holds no lock. Every statement is finalized before the
// connection closes.
class SqliteStatements {
public:
    // Takes over `handle`, which it closes.
    explicit SqliteStatements(sqlite3* handle);
    ~SqliteStatements();
    SqliteStatements(const SqliteStatements&) = delete;
    SqliteStatements& operator=(const SqliteStatements&) = delete;

    sqlite3* handle() const { return m_handle; }

    // A statement for `sql` with `params` bound in order: a kept one or a
    // newly compiled one, and, when asked, the columns kept with it (none for
    // a new one), to be brought up to date after its first step. nullptr
    // with *why set when it failed, nullptr with *why empty for a text of
    // blanks only.
    sqlite3_stmt* prepare(const QByteArray& sql, const QVariantList& params, QString* why,
                          SqliteColumns* columns = nullptr);
    // Like prepare(), with the statement's quoted texts bound where that
    // compiles (see bindQuotedTexts()); *sql becomes the text it is kept for.
    sqlite3_stmt* prepareBound(QByteArray* sql, const QVariantList& params, QString* why,
                               SqliteColumns* columns = nullptr);
    // Gives back a statement prepared for `sql`, with the columns last read
    // after its step; it is reset and kept, or finalized when enough are kept.
    void give(const QByteArray& sql, sqlite3_stmt* statement, SqliteColumns columns = {});

    // Runs one statement to its end; why it failed, empty when it ran.
    QString run(const QByteArray& sql, const QVariantList& params = {});
    // Why the last call on the connection failed.
    QString failure() const;

private:
    struct Kept {
        QByteArray sql;
        sqlite3_stmt* statement;
        SqliteColumns columns;
    };
    sqlite3_stmt* take(const QByteArray& sql, int* code, const char** tail, SqliteColumns* columns);

    sqlite3* m_handle;
    std::vector<Kept> m_kept;  // oldest first
};

// SQLite's message for a failure, naming the fault it came from, with what a
// lock means for the caller.
QString sqliteReason(int code, const QString& message);

}  // namespace zx::db
