#pragma once

// What a run changed: the AccInformation rows whose cValue moved, and how
// many rows of each other table the wizard writes were touched.

#include "dbkit/HostDatabase.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <utility>

namespace zx::db {
class RowChangeLog;
}

namespace zx::host {

class Snapshot {
public:
    static Snapshot take(db::HostDatabase& database);
    // The rows a log saw change, as they were before and as they are after:
    // between the two lie the same changes as between whole snapshots taken
    // before and after, at the cost of the rows written.
    static std::pair<Snapshot, Snapshot> ofChanges(db::HostDatabase& database,
                                                   const db::RowChangeLog& log);

    // One event per change from `before` to this snapshot: `changed` for a
    // parameter (passwords as ***), `changedTable` for another table.
    QList<QJsonObject> changesSince(const Snapshot& before) const;

private:
    struct Parameter {
        QString sys, name;
        db::Value value;
    };
    QList<Parameter> m_parameters;
    QHash<QString, QStringList> m_tables;  // table -> rows as text
};

}  // namespace zx::host
