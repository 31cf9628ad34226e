#pragma once

// What a run changed: the AccInformation rows whose cValue moved, and how
// many rows of each other table the wizard writes were touched.

#include "dbkit/HostDatabase.h"

#include <QHash>
#include <QList>
#include <QStringList>

namespace zx::host {

class Snapshot {
public:
    static Snapshot take(db::HostDatabase& database);

    // One JSON event per change from `before` to this snapshot.
    void reportChangesSince(const Snapshot& before) const;

private:
    struct Parameter {
        QString sys, name;
        db::Value value;
    };
    QList<Parameter> m_parameters;
    QHash<QString, QStringList> m_tables;  // table -> rows as text
};

}  // namespace zx::host
