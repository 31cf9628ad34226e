// A whole run on an SQLite account maps neither QtSql nor the ODBC driver
// manager: the kit loads them for ODBC connections only. Not a QtTest: this
// process must link neither, and the run makes its own application.

#include "AccountFiles.h"
#include "Commands.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main() {
    QTemporaryDir dir;
    const auto account =
        zx::host::createAccount(dir.path(), QStringLiteral("001"), QStringLiteral("2001"));
    QFile script(dir.filePath(QStringLiteral("sa.script")));
    if (!script.open(QIODevice::WriteOnly) ||
        script.write("click ComN\nclick Ch49\ntype Te41 pw\npaste Te43 3\nclick ComE\n") < 0)
        return 2;
    script.close();
    const int result =
        zx::host::runCommand({QStringLiteral("--db"), account.accountFile, QStringLiteral("--sys"),
                              QStringLiteral("SA"), QStringLiteral("--script"), script.fileName()});
    if (result != 0) {
        std::fprintf(stderr, "FAIL: the run ended with %d, not 0 (written)\n", result);
        return 1;
    }
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray mapped = maps.readAll();
    if (!mapped.contains("/libzxdbkit.so")) {  // else the maps are not what is read here
        std::fprintf(stderr, "FAIL: the kit is not among the mapped files\n");
        return 1;
    }
    for (const char* library : {"/libQt6Sql.so", "/libodbc.so", "/libzxdbkit-odbc.so"}) {
        if (mapped.contains(library)) {
            std::fprintf(stderr, "FAIL: an SQLite run has mapped %s\n", library + 1);
            return 1;
        }
    }
    return 0;
}
