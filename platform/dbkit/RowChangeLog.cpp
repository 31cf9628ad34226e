#include "RowChangeLog.h"

#include "SqliteDatabase.h"

// Debian builds SQLite with the pre-update hook; its header declares the
// hook only under this name.
#define SQLITE_ENABLE_PREUPDATE_HOOK
#include <sqlite3.h>

#include <cstring>

namespace zx::db {

namespace {

// A field as a recordset would hand it out.
Value valueOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            return Value::null();
        case SQLITE_INTEGER:
            return Value(QVariant(qlonglong(sqlite3_value_int64(value))));
        case SQLITE_FLOAT:
            return Value(QVariant(sqlite3_value_double(value)));
        case SQLITE_BLOB:
            return Value(QVariant(QByteArray(static_cast<const char*>(sqlite3_value_blob(value)),
                                             sqlite3_value_bytes(value))));
        default:
            return Value::ofText(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                 sqlite3_value_bytes(value));
    }
}

std::vector<Value> row(sqlite3* handle, int (*column)(sqlite3*, int, sqlite3_value**)) {
    std::vector<Value> values;
    for (int i = 0; i < sqlite3_preupdate_count(handle); ++i) {
        sqlite3_value* value = nullptr;
        values.push_back(column(handle, i, &value) == SQLITE_OK && value ? valueOf(value)
                                                                         : Value::null());
    }
    return values;
}

}  // namespace

std::unique_ptr<RowChangeLog> RowChangeLog::start(HostDatabase& database) {
    auto* sqlite = dynamic_cast<SqliteDatabase*>(&database);
    if (!sqlite || !sqlite->handle())
        return nullptr;
    std::unique_ptr<RowChangeLog> log(new RowChangeLog(sqlite->handle()));
    sqlite3_preupdate_hook(log->m_handle, &RowChangeLog::record, log.get());
    return log;
}

RowChangeLog::RowChangeLog(sqlite3* handle) : m_handle(handle) {}

RowChangeLog::~RowChangeLog() {
    sqlite3_preupdate_hook(m_handle, nullptr, nullptr);
}

void RowChangeLog::record(void* log, sqlite3* handle, int op, const char* database,
                          const char* table, long long, long long) {
    if (std::strcmp(database, "main") != 0)
        return;
    Change change{QString::fromUtf8(table), std::nullopt, std::nullopt};
    if (op != SQLITE_INSERT)
        change.before = row(handle, sqlite3_preupdate_old);
    if (op != SQLITE_DELETE)
        change.after = row(handle, sqlite3_preupdate_new);
    static_cast<RowChangeLog*>(log)->m_changes.push_back(std::move(change));
}

}  // namespace zx::db
