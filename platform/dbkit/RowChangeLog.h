#pragma once

#include "Value.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace zx::db {

class HostDatabase;

// The rows one connection changes in its main database, as SQLite reports
// them while it changes them: each change with the row's values before and
// after, in table order. Reading whole tables before and after a run costs
// as much as the tables are long; this costs as much as the run writes, and
// other connections' writes do not show in it. Changes that a rollback
// undoes stay in the log.
class RowChangeLog {
public:
    // Starts recording on `database`; nullptr when the database is not an
    // SQLite connection of this kit. Only one log at a time per connection.
    static std::unique_ptr<RowChangeLog> start(HostDatabase& database);
    ~RowChangeLog();
    RowChangeLog(const RowChangeLog&) = delete;
    RowChangeLog& operator=(const RowChangeLog&) = delete;

    struct Change {
        QString table;
        std::optional<std::vector<Value>> before;  // none for an insert
        std::optional<std::vector<Value>> after;   // none for a delete
    };
    const std::vector<Change>& changes() const { return m_changes; }

private:
    explicit RowChangeLog(sqlite3* handle);
    static void record(void* log, sqlite3* handle, int op, const char* database, const char* table,
                       long long oldKey, long long newKey);

    sqlite3* m_handle;
    std::vector<Change> m_changes;
};

}  // namespace zx::db
