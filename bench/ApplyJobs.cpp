// One profile applied to 100 accounts, two side by side against one after
// another; each account is a process of its own.

#include "Bench.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace zxbench {

void applyJobs(const QTemporaryDir& dir) {
    const QString pristine = newAccount(dir, QStringLiteral("apply-pristine"));
    const QString profile =
        scriptFor(dir, QStringLiteral("apply.profile"),
                  "set Ch11 1\nclick ComN\nset Ch49 1\nset Te41 pw\nset Te43 3\nclick ComE\n");
    constexpr int Accounts = 100, Rounds = 3;
    auto applyOnFreshCopies = [&](int jobs, int round) {
        QStringList command{QStringLiteral(ZXWIZARD_CLI), "apply", profile, "--sys", "SA", "--jobs",
                            QString::number(jobs)};
        for (int i = 0; i < Accounts; ++i) {
            const QString folder =
                dir.filePath(QStringLiteral("apply-%1-%2-%3").arg(jobs).arg(round).arg(i));
            QDir().mkpath(folder);
            QFile::copy(pristine, folder + QStringLiteral("/ZXDATA_001_2001.db"));
            QFile::copy(QFileInfo(pristine).absolutePath() + QStringLiteral("/zxsystem.db"),
                        folder + QStringLiteral("/zxsystem.db"));
            command << "--db" << folder + QStringLiteral("/ZXDATA_001_2001.db");
        }
        const ProcessCost cost = spawnTimed(command);
        if (cost.exit != 0)
            std::fprintf(stderr, "bench: apply --jobs %d exit %d\n", jobs, cost.exit);
        return cost.ms;
    };
    applyOnFreshCopies(1, -1);  // registers the component and warms caches
    std::vector<double> one, two;
    for (int round = 0; round < Rounds; ++round) {
        one.push_back(applyOnFreshCopies(1, round));
        two.push_back(applyOnFreshCopies(2, round));
    }
    report({"apply", "`apply` to 100 accounts, `--jobs 2` (medians of 3)", median(two) / 1000, "s",
            "the same with `--jobs 1`", median(one) / 1000, "s", Figure::Target::Ratio, 0.6});
}

}  // namespace zxbench
