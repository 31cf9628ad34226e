#pragma once

// HostDatabase over QtSql. The backends differ only in how they open, how a
// transaction starts and where the system tables live; every statement is
// otherwise sent as the system wrote it.

#include "HostDatabase.h"

#include <QString>

#include <memory>

namespace zx::db {

// Opens the database named by an ADO-style connection text:
//   Provider=SQLite;Data Source=<absolute path>[;System Database=<path>]
//   Provider=ODBC;<ODBC connection string>
// The SQLite account file and its system database (default: zxsystem.db
// beside it) must exist; nothing is created here. On ODBC the system tables
// are the schema zxsystem of the account database.
std::unique_ptr<HostDatabase> openDatabase(const QString& connectionText);

}  // namespace zx::db
