// A statement run with its quoted texts bound, whenever that compiles,
// reads and changes the rows the statement as written does, names its
// columns alike, and fails as it fails.

#include "FuzzCheck.h"
#include "dbkit/BindQuotedTexts.h"
#include "dbkit/SqliteStatements.h"

#include <sqlite3.h>

#include <memory>

using zx::db::SqliteStatements;

namespace {

SqliteStatements& database() {
    static const std::unique_ptr<SqliteStatements> db = [] {
        sqlite3* handle = nullptr;
        sqlite3_open(":memory:", &handle);
        auto opened = std::make_unique<SqliteStatements>(handle);
        FUZZ_CHECK(opened->run("create table t (a text collate nocase, b, c integer)").isEmpty());
        FUZZ_CHECK(
            opened->run("insert into t values ('x', 'it''s', 1), (null, x'00', 2)").isEmpty());
        return opened;
    }();
    return *db;
}

// Appends a statement's row or column names to `to`.
void append(QString* to, sqlite3_stmt* statement, bool names) {
    for (int i = 0; i < sqlite3_column_count(statement); ++i)
        *to += QString::fromUtf8(
                   names ? sqlite3_column_name(statement, i)
                         : reinterpret_cast<const char*>(sqlite3_column_text(statement, i))) +
               QLatin1Char(',');
    *to += QLatin1Char('\n');
}

// What the statement did: its failure or, when it ran, its columns, the
// rows it read and the table afterwards. The table is put back as it was.
QString outcome(SqliteStatements& db, const QByteArray& sql, const QVariantList& params) {
    FUZZ_CHECK(db.run("savepoint s").isEmpty());
    QString why;
    sqlite3_stmt* statement = db.prepare(sql, params, &why);
    QString result;
    if (statement) {
        append(&result, statement, true);
        int code = SQLITE_ROW;
        while ((code = sqlite3_step(statement)) == SQLITE_ROW)
            append(&result, statement, false);
        if (code != SQLITE_DONE)
            why = db.failure();
        sqlite3_finalize(statement);
    }
    if (why.isEmpty()) {
        sqlite3_stmt* rows = db.prepare("select quote(a), quote(b), quote(c) from t", {}, &why);
        while (sqlite3_step(rows) == SQLITE_ROW)
            append(&result, rows, false);
        sqlite3_finalize(rows);
    }
    FUZZ_CHECK(db.run("rollback to s").isEmpty() && db.run("release s").isEmpty());
    return why.isEmpty() ? result : why;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char* const starts[] = {
        "update t set a=",          "insert into t values (",
        "delete from t where b=",   "replace into t (c, a) values (",
        "select * from t where a=", "select * from ",
    };
    const QByteArray sql = QByteArray(starts[data[0] % 6]) +
                           QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QVariantList params = data[0] & 8 ? QVariantList{QStringLiteral("p")} : QVariantList{};
    const auto bound = zx::db::bindQuotedTexts(sql, params);
    if (!bound)
        return 0;
    SqliteStatements& db = database();
    QString why;
    sqlite3_stmt* compiled = db.prepare(bound->sql, bound->params, &why);
    if (!compiled)  // the statement is then run as written
        return 0;
    sqlite3_finalize(compiled);
    FUZZ_CHECK(outcome(db, bound->sql, bound->params) == outcome(db, sql, params));
    return 0;
}
