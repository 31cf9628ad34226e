// The check that every department keeps its warehouses under one costing
// method, on Finish of IA by department, with 10,000 departments.

#include "Bench.h"

#include "AccountFiles.h"
#include "window/Main.h"
#include "wizard/AccountQueries.h"

#include <sqlite3.h>

namespace zxbench {

void departmentCheck(const QTemporaryDir& dir) {
    const QString file = newAccount(dir, QStringLiteral("departments"));
    sqlite3* raw = openSqlite(file);
    sqliteExec(raw,
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x<20000) "
               "INSERT INTO Warehouse (cWhCode, cDepCode, cWhValueStyle) "
               "SELECT printf('W%05d', x), printf('D%05d', (x + 1) / 2), '全月平均法' FROM c");
    sqlite3_close(raw);
    auto database = zx::host::openAccount(file, QString());
    zx::wizard::AccountQueries queries(*database);
    std::vector<double> checks;
    for (int i = 0; i < Repeats + 1; ++i) {
        zx::ui::Main form;
        form.attach(QStringLiteral("IA"), quietHost(), &queries);
        zx::ui::MainControls& c = form.ui();
        c.ComN->click();
        c.Op52->setValue(true);
        c.Te55->setText(QStringLiteral("2"));
        const double ms = timeMs([&] { c.ComE->click(); });
        if (i > 0)
            checks.push_back(ms);
    }
    report({"departments",
            "Department check, 10,000 departments",
            median(checks),
            "ms",
            {},
            0,
            {},
            Figure::Target::Absolute,
            1000});
}

}  // namespace zxbench
