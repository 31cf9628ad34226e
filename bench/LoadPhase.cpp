// The load phase (from the call to the window being told to show, AA and SA
// loads) over AccInformation tables of 1,000 to 1,000,000 rows, the real
// parameters scattered among the others: it must not grow with the table.
// Each size beside one read of that table through the same driver, on
// SQLite and, when a server is given (ZX_PG_HOST, ZX_PG_PORT), on
// PostgreSQL through ODBC.

#include "Bench.h"

#include "AccountFiles.h"
#include "dbkit/HostDatabase.h"
#include "window/Main.h"
#include "wizard/WBAS.h"
#include "wizard/Wizard.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <cstdio>

namespace zxbench {

namespace {

constexpr int Sizes[] = {1000, 10000, 100000, 1000000};

// When a widget receives its Show event, on a running clock.
class ShowTime : public QObject {
public:
    ShowTime(QWidget* widget, QElapsedTimer* clock) : m_clock(clock) {
        widget->installEventFilter(this);
    }
    double ms = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && ms == 0)
            ms = double(m_clock->nsecsElapsed()) / 1e6;
        return false;
    }

private:
    QElapsedTimer* m_clock;
};

// The window is built before the clock starts, and painted after it stops.
double loadPhaseMs(zx::db::HostDatabase& database) {
    std::vector<double> loads;
    for (int i = 0; i < Repeats + 1; ++i) {
        auto& form = dynamic_cast<zx::ui::Main&>(
            zx::WBAS::MainForm(quietHost(), database.Connection().ConnectionString()));
        form.ui();
        QElapsedTimer clock;
        ShowTime showTime(&form, &clock);
        QString sys = QStringLiteral("SA");
        clock.start();
        const int result = zx::wizard::Wizard().Run(database, sys, quietHost());
        if (result != 3 || showTime.ms == 0) {
            std::fprintf(stderr, "bench: the run ended with %d before its window showed\n", result);
            std::exit(1);
        }
        if (i > 0)
            loads.push_back(showTime.ms);
    }
    return median(loads);
}

QString rowsText(int rows) {
    return QLocale(QLocale::English).toString(rows);
}

void reportSizes(const QString& backend, const QString& driver,
                 const std::vector<std::pair<double, double>>& loadAndRead) {
    for (size_t i = 0; i < loadAndRead.size(); ++i) {
        const bool largest = i + 1 == std::size(Sizes);
        report({QStringLiteral("load.%1.%2").arg(backend).arg(Sizes[i]),
                QStringLiteral("Load phase, %1 rows, %2").arg(rowsText(Sizes[i]), driver),
                loadAndRead[i].first, "ms", QStringLiteral("one read of the table"),
                loadAndRead[i].second, "ms", largest ? Figure::Target::Ratio : Figure::Target::None,
                0.25});
    }
    if (loadAndRead.size() == std::size(Sizes))
        report({QStringLiteral("load.%1.growth").arg(backend),
                QStringLiteral("  its growth from 1,000 to 1,000,000 rows"),
                loadAndRead.back().first, "ms", QStringLiteral("the load phase at 1,000 rows"),
                loadAndRead.front().first, "ms", Figure::Target::Ratio, 1.5});
}

// The rows that make a table of the real parameters (in a table `real`)
// and others `rows` long.
QString fillerSelect(int rows, bool postgres) {
    const QString fillers = QStringLiteral("%1 - (SELECT count(*) FROM real)").arg(rows);
    const QString series =
        postgres ? QStringLiteral("generate_series(1, %1) AS c(x)").arg(fillers)
                 : QStringLiteral(
                       "(WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c "
                       "WHERE x<%1) SELECT x FROM c) AS c")
                       .arg(fillers);
    return QStringLiteral(
               "SELECT 'ZZ' AS cSysID, CAST(x AS TEXT) AS cID, 'filler' || x AS cName, "
               "'caption' AS cCaption, 'String' AS cType, 'value' || x AS cValue, '' AS cDefault, "
               "0 AS bVisible, 0 AS bEnable FROM %1")
        .arg(series);
}

void onSqlite(const QTemporaryDir& dir) {
    std::vector<std::pair<double, double>> results;
    for (const int rows : Sizes) {
        const QString file = newAccount(dir, QStringLiteral("load-%1").arg(rows));
        sqlite3* raw = openSqlite(file);
        sqliteExec(raw, "CREATE TEMP TABLE real AS SELECT * FROM AccInformation");
        sqliteExec(raw, "DELETE FROM AccInformation");
        sqliteExec(raw, QStringLiteral("INSERT INTO AccInformation SELECT * FROM (%1 UNION ALL "
                                       "SELECT * FROM real) ORDER BY random()")
                            .arg(fillerSelect(rows, false)));
        const double read = medianMs([&] {
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(raw, "select * from AccInformation", -1, &statement, nullptr);
            while (sqlite3_step(statement) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(statement); ++c)
                    sqlite3_column_text(statement, c);
            sqlite3_finalize(statement);
        });
        sqlite3_close(raw);
        auto database = zx::host::openAccount(file, QString());
        results.push_back({loadPhaseMs(*database), read});
        std::printf("  (SQLite, %d rows: load %.2f ms, read %.2f ms)\n", rows, results.back().first,
                    read);
    }
    reportSizes(QStringLiteral("sqlite"), QStringLiteral("SQLite"), results);
}

QString serverOdbc(const QString& database) {
    return QStringLiteral(
               "Driver={PostgreSQL Unicode};Servername=%1;Port=%2;Database=%3;Uid=postgres")
        .arg(qEnvironmentVariable("ZX_PG_HOST"), qEnvironmentVariable("ZX_PG_PORT"), database);
}

// Runs statements on a QODBC connection; any failure ends the benchmark.
void odbcExec(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        std::fprintf(stderr, "bench SQL failed: %s (%s)\n", qPrintable(sql),
                     qPrintable(query.lastError().text()));
        std::exit(1);
    }
}

QSqlDatabase odbcConnection(const QString& name, const QString& database) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    db.setDatabaseName(serverOdbc(database));
    if (!db.open()) {
        std::fprintf(stderr, "bench: cannot reach the server: %s\n",
                     qPrintable(db.lastError().text()));
        std::exit(1);
    }
    return db;
}

void onPostgres() {
    if (qEnvironmentVariableIsEmpty("ZX_PG_HOST") || qEnvironmentVariableIsEmpty("ZX_PG_PORT")) {
        std::printf("  (no PostgreSQL server given: its load figures are not measured)\n");
        return;
    }
    std::vector<std::pair<double, double>> results;
    {
        QSqlDatabase server = odbcConnection(QStringLiteral("bench-server"), "postgres");
        {
            QSqlQuery version(server);
            if (version.exec(QStringLiteral("SHOW server_version")) && version.next())
                postgresVersion() = version.value(0).toString();
        }
        for (const int rows : Sizes) {
            // The wizard finds the account and year in the database's name.
            const QString name = QStringLiteral("ZXDATA_001_2001_load%1").arg(rows);
            odbcExec(server, QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(name));
            odbcExec(server, QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
            zx::host::createPostgreSqlAccount(serverOdbc(name), QStringLiteral("001"),
                                              QStringLiteral("2001"));
            double read = 0;
            {
                QSqlDatabase account = odbcConnection(QStringLiteral("bench-account"), name);
                odbcExec(account, "CREATE TEMP TABLE real AS SELECT * FROM AccInformation");
                odbcExec(account, "DELETE FROM AccInformation");
                odbcExec(account, QStringLiteral("INSERT INTO AccInformation SELECT * FROM (%1 "
                                                 "UNION ALL SELECT * FROM real) AS t ORDER BY "
                                                 "random()")
                                      .arg(fillerSelect(rows, true)));
                // As the server's autovacuum would, after so many rows.
                odbcExec(account, "VACUUM ANALYZE AccInformation");
                read = medianMs([&] {
                    QSqlQuery query(account);
                    query.setForwardOnly(true);
                    query.exec(QStringLiteral("select * from AccInformation"));
                    const int columns = query.record().count();
                    while (query.next())
                        for (int c = 0; c < columns; ++c)
                            query.value(c);
                });
            }
            QSqlDatabase::removeDatabase(QStringLiteral("bench-account"));
            {
                auto database = zx::host::openOdbcAccount(serverOdbc(name));
                results.push_back({loadPhaseMs(*database), read});
            }
            std::printf("  (PostgreSQL, %d rows: load %.2f ms, read %.2f ms)\n", rows,
                        results.back().first, read);
            odbcExec(server, QStringLiteral("DROP DATABASE \"%1\"").arg(name));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-server"));
    reportSizes(QStringLiteral("postgresql"), QStringLiteral("PostgreSQL via ODBC"), results);
}

}  // namespace

void loadPhase(const QTemporaryDir& dir) {
    onSqlite(dir);
    onPostgres();
}

}  // namespace zxbench
