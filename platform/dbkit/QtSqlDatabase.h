#pragma once

// Opening the host's database through the seam of its database: SQLite
// (SqliteDatabase), SQL Server, PostgreSQL or another server through ODBC
// (OdbcDatabase). Every statement is sent as the system wrote it but
// for how it names the system tables.

#include "HostDatabase.h"

#include <QString>

#include <memory>

namespace zx::db {

// Opens the database named by an ADO-style connection text:
//   Provider=SQLite;Data Source=<absolute path>[;System Database=<path>]
//   Provider=ODBC;<ODBC connection string>
// See SqliteDatabase and OdbcDatabase for the keys and for the text the
// database then reports.
std::unique_ptr<HostDatabase> openDatabase(const QString& connectionText);

}  // namespace zx::db
