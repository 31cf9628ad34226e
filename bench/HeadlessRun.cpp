// A whole headless run of the command (SA, two steps, Finish), start to
// exit, beside a bare Qt program that shows a dialog with as many widgets.
// The two alternate, so that whatever else the machine does weighs on both.

#include "Bench.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace zxbench {

void headlessRun(const QTemporaryDir& dir) {
    const QString pristine = newAccount(dir, QStringLiteral("run"));
    const QString script =
        scriptFor(dir, QStringLiteral("sa.script"),
                  "click ComN\nclick Ch49\ntype Te41 pw\npaste Te43 3\nclick ComE\n");
    std::vector<double> runMs, floorMs, runCpu, floorCpu, runKb, floorKb, workMs;
    for (int i = 0; i < Repeats + 1; ++i) {
        const QString copy = dir.filePath(QStringLiteral("run-%1").arg(i));
        QDir().mkpath(copy);
        QFile::copy(pristine, copy + QStringLiteral("/ZXDATA_001_2001.db"));
        QFile::copy(QFileInfo(pristine).absolutePath() + QStringLiteral("/zxsystem.db"),
                    copy + QStringLiteral("/zxsystem.db"));
        const ProcessCost run = spawnTimed({QStringLiteral(ZXWIZARD_CLI), "run", "--db",
                                            copy + QStringLiteral("/ZXDATA_001_2001.db"), "--sys",
                                            "SA", "--script", script});
        const ProcessCost floor = spawnTimed({QStringLiteral(ZXBENCH_FLOOR)});
        QFile::copy(pristine, copy + QStringLiteral("/work.db"));
        const ProcessCost work =
            spawnTimed({QStringLiteral(ZXBENCH_WORK_FLOOR), copy + QStringLiteral("/work.db"),
                        copy + QStringLiteral("/zxsystem.db")});
        if (run.exit != 0 || floor.exit != 0 || work.exit != 0)
            std::fprintf(stderr, "bench: run exit %d, floor exit %d, work floor exit %d\n",
                         run.exit, floor.exit, work.exit);
        if (i == 0)
            continue;  // the first registers the component and warms caches
        runMs.push_back(run.ms);
        floorMs.push_back(floor.ms);
        runCpu.push_back(run.cpuMs);
        floorCpu.push_back(floor.cpuMs);
        runKb.push_back(double(run.maxRssKb));
        floorKb.push_back(double(floor.maxRssKb));
        workMs.push_back(work.ms);
    }
    report({"run.wall", "Headless `SA` run with Finish, start to exit", median(runMs), "ms",
            "bare Qt dialog with as many widgets", median(floorMs), "ms", Figure::Target::Ratio,
            1.25});
    // Time on the CPU, which other sessions on the machine disturb less.
    report({"run.cpu", "  its CPU time (user and system)", median(runCpu), "ms",
            "the same bare program", median(floorCpu), "ms", Figure::Target::None, 0});
    report({"run.memory", "  its peak memory", median(runKb) / 1024, "MB", "the same bare program",
            median(floorKb) / 1024, "MB", Figure::Target::Ratio, 1.2});
    // What the run cannot do without: the dialog in the wizard's face, SQLite
    // loaded, the two databases opened, the parameters read and written back
    // with a durable commit. The gap between this and the run is ours.
    report({"run.work", "  the dialog with only the database work a run needs", median(workMs),
            "ms", "bare Qt dialog with as many widgets", median(floorMs), "ms",
            Figure::Target::None, 0});
}

}  // namespace zxbench
