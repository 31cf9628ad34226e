#pragma once

// What every figure of zxbench shares: repeated timings and their median,
// child processes timed from outside, a quiet host for the wizard, and the
// results, each reported beside its yardstick.

#include "wizard/WizardView.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <vector>

struct sqlite3;

namespace zxbench {

// Timings per figure, besides a first one that warms caches.
constexpr int Repeats = 9;

double median(std::vector<double> values);
// The median of `Repeats` timings of `work`, after one that is left out.
double medianMs(const std::function<void()>& work);
double timeMs(const std::function<void()>& work);
// A field of /proc/self/status in kB (VmHWM:, VmRSS:).
long statusKb(const char* field);
// The load average over the last minute.
double loadAverage();

// Runs a program to its end with output discarded: its wall time, CPU time
// (user and system), peak memory and exit code. The peak comes from
// /usr/bin/time: a child spawned from this (large) process would count this
// process's pages in its own high-water mark.
struct ProcessCost {
    double ms;
    double cpuMs;
    long maxRssKb;
    int exit;
};
ProcessCost spawnTimed(const QStringList& program);

// Statements on a raw SQLite connection; any failure ends the benchmark.
sqlite3* openSqlite(const QString& path);
void sqliteExec(sqlite3* db, const QString& sql);

// A fresh SQLite account in its own folder under `dir`.
QString newAccount(const QTemporaryDir& dir, const QString& name);

// A script or profile `name` under `dir`, with the wizard's commands run
// from here reading the class registry beside it; the file's path.
QString scriptFor(const QTemporaryDir& dir, const QString& name, const QByteArray& actions);

// Answers every message box and cancels the window as soon as it is shown.
class QuietHost final : public zx::wizard::RunHost {
public:
    int MsgBox(const QString&, int, const QString&) override { return 1; }
    std::unique_ptr<zx::wizard::WizardView> createWindow() override;
    void modalShown(zx::wizard::WizardView& window) override;
};
QuietHost& quietHost();

// One figure beside its yardstick. A ratio target holds when value /
// yardstick is at most `limit`; an absolute one when the value is.
struct Figure {
    QString id;  // stable: the performance table and later runs find it by this
    QString name;
    double value = 0;
    QString unit;
    QString yardstick;  // empty: none
    double yardstickValue = 0;
    QString yardstickUnit;
    enum class Target { None, Ratio, Absolute } target = Target::None;
    double limit = 0;
};
void report(const Figure& figure);
// Every figure reported so far, as results.json carries them.
const QJsonArray& reported();

// The server's version, once the load figures have reached one.
QString& postgresVersion();

// The figures, each a function of a scratch folder.
void guardLatency(const QTemporaryDir& dir);
void headlessRun(const QTemporaryDir& dir);
void loadPhase(const QTemporaryDir& dir);
void departmentCheck(const QTemporaryDir& dir);
void applyJobs(const QTemporaryDir& dir);

}  // namespace zxbench
