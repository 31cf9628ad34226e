#include "Bench.h"

#include "AccountFiles.h"
#include "window/Main.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace zxbench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double medianMs(const std::function<void()>& work) {
    work();
    std::vector<double> times;
    for (int i = 0; i < Repeats; ++i)
        times.push_back(timeMs(work));
    return median(times);
}

long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    return 0;
}

double loadAverage() {
    double load = 0;
    return getloadavg(&load, 1) == 1 ? load : -1;
}

ProcessCost spawnTimed(const QStringList& program) {
    const QString peakFile = QDir::temp().filePath(QStringLiteral("zxbench-peak"));
    const QStringList command = QStringList{"/usr/bin/time", "-f", "%M", "-o", peakFile} + program;
    std::vector<QByteArray> args;
    for (const QString& a : command)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    int status = 0;
    rusage usage{};  // the program's too: /usr/bin/time waits for it
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        wait4(pid, &status, 0, &usage);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const auto msOf = [](const timeval& t) { return double(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    posix_spawn_file_actions_destroy(&actions);
    QFile peak(peakFile);
    peak.open(QIODevice::ReadOnly);
    const long peakKb = peak.readAll().trimmed().split('\n').last().toLong();
    return {ms, msOf(usage.ru_utime) + msOf(usage.ru_stime), peakKb,
            pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

sqlite3* openSqlite(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "bench: cannot open %s\n", qPrintable(path));
        std::exit(1);
    }
    return db;
}

void sqliteExec(sqlite3* db, const QString& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench SQL failed: %s\n", error);
        std::exit(1);
    }
}

QString newAccount(const QTemporaryDir& dir, const QString& name) {
    return zx::host::createAccount(dir.filePath(name), QStringLiteral("001"),
                                   QStringLiteral("2001"))
        .accountFile;
}

QString scriptFor(const QTemporaryDir& dir, const QString& name, const QByteArray& actions) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(actions) != actions.size()) {
        std::fprintf(stderr, "bench cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    qputenv("ZXCOM_REGISTRY", dir.filePath(QStringLiteral("registry.ini")).toLocal8Bit());
    return file.fileName();
}

std::unique_ptr<zx::wizard::WizardView> QuietHost::createWindow() {
    return std::make_unique<zx::ui::Main>();
}

void QuietHost::modalShown(zx::wizard::WizardView& window) {
    dynamic_cast<QDialog&>(window).close();
}

QuietHost& quietHost() {
    static QuietHost host;
    return host;
}

namespace {

QJsonArray& results() {
    static QJsonArray all;
    return all;
}

QString targetText(const Figure& f) {
    switch (f.target) {
        case Figure::Target::None:
            return {};
        case Figure::Target::Ratio:
            return QStringLiteral("≤ %1×").arg(f.limit);
        case Figure::Target::Absolute:
            return QStringLiteral("≤ %1 %2").arg(f.limit).arg(f.unit);
    }
    return {};
}

}  // namespace

void report(const Figure& f) {
    const bool hasYardstick = !f.yardstick.isEmpty() && f.yardstickValue > 0;
    const double ratio = hasYardstick ? f.value / f.yardstickValue : 0;
    const bool met = f.target == Figure::Target::Ratio      ? hasYardstick && ratio <= f.limit
                     : f.target == Figure::Target::Absolute ? f.value <= f.limit
                                                            : true;
    std::printf("%-52s %10.2f %-3s", qPrintable(f.name), f.value, qPrintable(f.unit));
    if (hasYardstick)
        std::printf("  %-40s %10.2f %-3s ratio %6.3f", qPrintable(f.yardstick), f.yardstickValue,
                    qPrintable(f.yardstickUnit), ratio);
    if (f.target != Figure::Target::None)
        std::printf("  target %s: %s", qPrintable(targetText(f)), met ? "met" : "MISSED");
    std::printf("\n");

    QJsonObject entry{{"id", f.id},
                      {"name", f.name},
                      {"value", f.value},
                      {"unit", f.unit},
                      {"loadAverage", loadAverage()}};
    if (hasYardstick) {
        entry.insert("yardstick", QJsonObject{{"name", f.yardstick},
                                              {"value", f.yardstickValue},
                                              {"unit", f.yardstickUnit}});
        entry.insert("ratio", ratio);
    }
    if (f.target != Figure::Target::None) {
        entry.insert("target",
                     QJsonObject{{"kind", f.target == Figure::Target::Ratio ? "ratio" : "absolute"},
                                 {"limit", f.limit},
                                 {"text", targetText(f)}});
        entry.insert("met", met);
    }
    results().append(entry);
}

const QJsonArray& reported() {
    return results();
}

QString& postgresVersion() {
    static QString version;
    return version;
}

}  // namespace zxbench
