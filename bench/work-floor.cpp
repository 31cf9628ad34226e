// The floor with the work no headless run can skip: the same dialog in the
// wizard's face, and beside it the database work of an SA setup done with
// SQLite alone. It opens the account and attaches the system database,
// reads forty parameters by key through one compiled statement, then writes
// twenty-seven of them back, each update its own text as the saves send
// them, in one transaction with a durable commit.
//   zxbench-workfloor ACCOUNT SYSTEM

#include "FloorDialog.h"
#include "core/DesktopFont.h"

#include <QApplication>

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

bool exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "zxbench-workfloor: %s: %s\n", sql.c_str(), error);
    sqlite3_free(error);
    return false;
}

std::string column(sqlite3_stmt* statement, int i) {
    const auto* text = sqlite3_column_text(statement, i);
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zxbench-workfloor ACCOUNT SYSTEM\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setFont(zx::desktopFont(app.devicePixelRatio()));

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK)
        return 1;
    // Read-only, as the kit attaches it: a transaction that could write two
    // files would commit through a super-journal. The bench's scratch paths
    // need no escaping.
    const std::string system = std::string("file:") + argv[2] + "?mode=ro";
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS zxsystem", -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, system.c_str(), -1, SQLITE_STATIC);
    const bool attached = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    if (!attached)
        return 1;

    // Which keys: forty parameters of the subsystems a sales setup reads.
    std::vector<std::pair<std::string, std::string>> keys;
    sqlite3_prepare_v2(db,
                       "select cSysID, cName from AccInformation "
                       "where cSysID in ('AA', 'SA', 'ST', 'PU', 'IA', 'AR') limit 40",
                       -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        keys.emplace_back(column(statement, 0), column(statement, 1));
    sqlite3_finalize(statement);

    std::vector<std::string> values;
    sqlite3_prepare_v2(db, "select * from AccInformation where cSysID = ? and cName = ?", -1,
                       &statement, nullptr);
    int valueColumn = 0;
    while (valueColumn < sqlite3_column_count(statement) - 1 &&
           sqlite3_stricmp(sqlite3_column_name(statement, valueColumn), "cValue") != 0)
        ++valueColumn;
    for (const auto& [system, name] : keys) {
        sqlite3_bind_text(statement, 1, system.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, name.c_str(), -1, SQLITE_STATIC);
        values.push_back(sqlite3_step(statement) == SQLITE_ROW ? column(statement, valueColumn)
                                                               : std::string());
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);

    zxbench::showFloorDialog();

    bool written = exec(db, "BEGIN IMMEDIATE");
    for (size_t i = 0; written && i < keys.size() && i < 27; ++i) {
        // A fresh account's values are empty; the saves write TRUE or FALSE.
        const std::string value = values[i].empty() ? "FALSE" : values[i];
        written = exec(db, "Update AccInformation set cValue='" + value + "' Where cSysID='" +
                               keys[i].first + "' and cName='" + keys[i].second + "'");
    }
    written = written && exec(db, "COMMIT");
    sqlite3_close(db);
    return written && keys.size() == 40 ? 0 : 1;
}
