// A write run with its quoted texts bound, whenever that compiles, does
// to the rows what the write as written does, and fails as it fails.

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

// What the statement did: its failure or, when it ran, the rows afterwards.
// The rows are put back as they were.
QString outcome(SqliteStatements& db, const QByteArray& sql, const QVariantList& params) {
    FUZZ_CHECK(db.run("savepoint s").isEmpty());
    QString why;
    sqlite3_stmt* statement = db.prepare(sql, params, &why);
    QString result = why;
    if (statement) {
        int code = SQLITE_ROW;
        while (code == SQLITE_ROW)
            code = sqlite3_step(statement);
        result = code == SQLITE_DONE ? QString() : db.failure();
        sqlite3_finalize(statement);
    }
    if (result.isEmpty()) {
        sqlite3_stmt* rows = db.prepare("select quote(a), quote(b), quote(c) from t", {}, &why);
        while (sqlite3_step(rows) == SQLITE_ROW)
            for (int i = 0; i < 3; ++i)
                result +=
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, i))) +
                    QLatin1Char(i == 2 ? '\n' : ',');
        sqlite3_finalize(rows);
    }
    FUZZ_CHECK(db.run("rollback to s").isEmpty() && db.run("release s").isEmpty());
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char* const starts[] = {
        "update t set a=", "insert into t values (",
        "delete from t where b=", "replace into t (c, a) values ("};
    const QByteArray sql = QByteArray(starts[data[0] % 4]) +
                           QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QVariantList params = data[0] & 4 ? QVariantList{QStringLiteral("p")} : QVariantList{};
    const auto bound = zx::db::bindQuotedTexts(sql, params);
    if (!bound)
        return 0;
    SqliteStatements& db = database();
    QString why;
    sqlite3_stmt* compiled = db.prepare(bound->sql, bound->params, &why);
    if (!compiled)  // the write is then run as written
        return 0;
    sqlite3_finalize(compiled);
    FUZZ_CHECK(outcome(db, bound->sql, bound->params) == outcome(db, sql, params));
    return 0;
}
