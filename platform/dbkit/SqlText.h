#pragma once

// Helpers for the complete SQL texts the system builds by joining fixed
// pieces with values.

#include <QString>

namespace zx::db {

// The text to place between single quotes so that the statement holds
// exactly `value`: every single quote doubled.
QString sqlQuoted(const QString& value);

// Rewrites the cross-database form `zxsystem..table` (outside quoted texts)
// to `<schema>.table`. Everything else is left as it stands.
QString rewriteSystemPrefix(const QString& sql, const QString& schema);

// Whether a parameter key names a control password (cCreditPwd, ...):
// its value is never shown.
bool isPasswordParameter(const QString& cName);

// The statement as it may appear in an error message: the value set into a
// password parameter is shown as ***.
QString redactedSql(const QString& sql);

}  // namespace zx::db
