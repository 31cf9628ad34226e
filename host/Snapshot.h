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

// An old or new value of a `changed` event is Null, a text, or, for bytes
// that no text can show, {"blob": HEX} or {"textBytes": HEX} (a text stored
// in bytes that are not UTF-8). How such bytes read in words; empty for a
// Null or a text.
QString storedBytesText(const QJsonValue& value);

class Snapshot {
public:
    static Snapshot take(db::HostDatabase& database);
    // The rows a log saw change, as they were before and as they are after:
    // between the two lie the same changes as between whole snapshots taken
    // before and after, at the cost of the rows written.
    static std::pair<Snapshot, Snapshot> ofChanges(db::HostDatabase& database,
                                                   const db::RowChangeLog& log);

    // One event per change from `before` to this snapshot: `changed` for a
    // parameter (passwords as ***; a row that did not exist before has
    // "inserted": true and no "old"), `changedTable` for another table.
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
