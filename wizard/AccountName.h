#pragma once

// The account number and year inside a connection text, where the account
// database ZXDATA_<account>_<year> is named. The entry and the inventory
// management save have always cut them differently, and both readings are
// kept: they differ when a folder, server or DSN name holds "zxdata".

#include <QString>

namespace zx::wizard {

// Four characters from 11 after the first "ZXDATA_" (any case); from
// position 11 of the text when there is none. The entry's year.
QString yearAfterZxdataUnderscore(const QString& connection);
// Three characters from 7 after that same "ZXDATA_". The entry's account.
QString accountAfterZxdataUnderscore(const QString& connection);
// Four characters from 11 after the first "ZXDATA", underscore or not (any
// case). The year the inventory management save writes.
QString yearAfterZxdata(const QString& connection);

}  // namespace zx::wizard
