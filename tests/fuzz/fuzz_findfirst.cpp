// FindFirst that looks its row up by key finds what FindFirst over read
// rows finds, and MoveNext goes on alike: the input is a table and a
// criterion.

#include "FindFirstCase.h"
#include "FuzzCheck.h"
#include "dbkit/QtSqlDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

zx::db::HostDatabase& database() {
    static QTemporaryDir dir;
    static const std::unique_ptr<zx::db::HostDatabase> db = [] {
        // An empty file is an empty SQLite database.
        for (const char* name : {"/ZXDATA_001_2001.db", "/zxsystem.db"}) {
            QFile file(dir.path() + QLatin1String(name));
            FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        }
        auto opened = zx::db::openDatabase(QStringLiteral("Provider=SQLite;Data Source=") +
                                           dir.path() + QStringLiteral("/ZXDATA_001_2001.db"));
        opened->Execute(QStringLiteral("PRAGMA journal_mode=MEMORY"));
        opened->Execute(QStringLiteral("PRAGMA synchronous=OFF"));
        opened->Execute(findfirst::Table);
        opened->Execute(QStringLiteral("create index zxdiff_k1 on zxdiff (k1 collate nocase)"));
        return opened;
    }();
    return *db;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    findfirst::Input in(data, size);
    zx::db::HostDatabase& db = database();
    findfirst::fill(db, in.rows());
    const QString criterion = in.criterion();
    const auto read = db.OpenRecordset(QStringLiteral("select * from zxdiff"));
    const int count = read->RecordCount();
    const auto looked = db.OpenRecordset(QStringLiteral("select * from zxdiff"));
    FUZZ_CHECK(findfirst::findAndWalk(*looked, criterion) ==
               findfirst::findAndWalk(*read, criterion));
    FUZZ_CHECK(looked->RecordCount() == count);
    return 0;
}
