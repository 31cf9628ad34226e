#include "SqliteStatements.h"

#include <sqlite3.h>

#include <algorithm>

namespace zx::db {

namespace {

// More than the loads use; few enough that keeping them costs little.
constexpr size_t MaxKept = 16;

}  // namespace

SqliteStatements::SqliteStatements(std::shared_ptr<SqlConnection> connection, sqlite3* handle)
    : m_connection(std::move(connection)), m_handle(handle) {}

SqliteStatements::~SqliteStatements() {
    for (const auto& kept : m_kept)
        sqlite3_finalize(kept.second);
}

sqlite3_stmt* SqliteStatements::take(const QByteArray& sql, int* code, const char** tail) {
    const auto kept = std::find_if(m_kept.rbegin(), m_kept.rend(),
                                   [&](const auto& entry) { return entry.first == sql; });
    if (kept != m_kept.rend()) {
        sqlite3_stmt* statement = kept->second;
        m_kept.erase(std::next(kept).base());
        *code = SQLITE_OK;
        *tail = "";
        return statement;
    }
    sqlite3_stmt* statement = nullptr;
    *code = sqlite3_prepare_v2(m_handle, sql.constData(), int(sql.size()), &statement, tail);
    return statement;
}

void SqliteStatements::give(const QByteArray& sql, sqlite3_stmt* statement) {
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    m_kept.emplace_back(sql, statement);
    if (m_kept.size() > MaxKept) {
        sqlite3_finalize(m_kept.front().second);
        m_kept.erase(m_kept.begin());
    }
}

}  // namespace zx::db
