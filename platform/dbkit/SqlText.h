#pragma once

// The one dialect change the kit makes to the statements it is given.

#include <QString>

namespace zx::db {

// Rewrites the cross-database form `zxsystem..table` (outside quoted texts)
// to `<schema>.table`. Everything else is left as it stands.
QString rewriteSystemPrefix(const QString& sql, const QString& schema);

}  // namespace zx::db
